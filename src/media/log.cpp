#include "media/log.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace media {

void log_line(const std::string& tag, const std::string& message) {
    std::fprintf(stderr, "glimmerfrost: %s: %s\n", tag.c_str(), message.c_str());
}

void log_once(const std::string& key, const std::string& tag, const std::string& message) {
    static std::set<std::string> seen;
    if (seen.insert(key).second) log_line(tag, message);
}

namespace {

// The headless drivers (the runner, the tests) have no one to click a box away; SDL would
// still try an X11 box there and could block a test run on a real display.
bool headless_video() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace

void fatal_error(const std::string& message) {
    std::fprintf(stderr, "glimmerfrost: %s\n", message.c_str());
    if (!headless_video()) {
        // Fails quietly when no display can be reached.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Glimmerfrost 3D", message.c_str(), nullptr);
    }
    std::fflush(nullptr);
    // No teardown and no atexit handlers: nothing of the game may run after a broken start.
    std::_Exit(1);
}

}  // namespace media
