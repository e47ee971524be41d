#include "media/log.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "media/backend/message_box.h"

namespace media {

void log_line(const std::string& tag, const std::string& message) {
    std::fprintf(stderr, "glimmerfrost: %s: %s\n", tag.c_str(), message.c_str());
}

void log_once(const std::string& key, const std::string& tag, const std::string& message) {
    static std::set<std::string> seen;
    if (seen.insert(key).second) log_line(tag, message);
}

void fatal_error(const std::string& message) {
    std::fprintf(stderr, "glimmerfrost: %s\n", message.c_str());
    // Before the box: whoever ends the program while the box is up has the message already.
    std::fflush(nullptr);
    backend::show_error_box("Glimmerfrost 3D", message);
    // No teardown and no atexit handlers: nothing of the game may run after a broken start.
    std::_Exit(1);
}

}  // namespace media
