#include "media/platform.h"

#include "media/log.h"

namespace media {

namespace {
std::unique_ptr<platform> g_platform;
}

void install_platform(std::unique_ptr<platform> p) {
    g_platform = std::move(p);
}

platform& current_platform() {
    // Without a platform there is neither input nor a clock; carrying on would only
    // hide the missing install behind a frozen game.
    if (!g_platform) fatal_error("internal error: no platform installed before the media layer");
    return *g_platform;
}

void note_file_saved(const std::string& path) {
    if (g_platform) g_platform->file_saved(path);
}

namespace {
void (*g_session_end_save)() = nullptr;
}

void set_session_end_save(void (*save)()) {
    g_session_end_save = save;
}

void session_ending() {
    if (g_session_end_save) g_session_end_save();
}

}  // namespace media
