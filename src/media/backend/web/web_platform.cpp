#include "media/backend/web/web_platform.h"

#include <emscripten.h>

#include "media/backend/openal/music_stream.h"

namespace media::backend {

namespace {

// clang-format off
EM_JS(void, tell_page_frame, (int frame), {
    if (Module.gfFramePresented) Module.gfFramePresented(frame);
});
EM_JS(int, page_asks_for_saves, (), {
    const asked = Module.gfSaveAsked ? 1 : 0;
    Module.gfSaveAsked = false;
    return asked;
});
// clang-format on

}  // namespace

bool web_platform::poll_event(platform_event& ev) {
    if (page_asks_for_saves()) {
        ev = {};
        ev.kind = platform_event::save_request;
        return true;
    }
    return sdl_platform::poll_event(ev);
}

void web_platform::wait_event(int ms) {
    feed_streams();
    sdl_platform::wait_event(ms);
}

void web_platform::sleep_ms(int ms) {
    feed_streams();
    // Even a zero wait hands the page its turn: its events, its drawing, its sound.
    emscripten_sleep(static_cast<unsigned>(ms > 0 ? ms : 0));
}

void web_platform::frame_presented(int frame) {
    tell_page_frame(frame);
}

void web_platform::file_saved(const std::string& path) {
    (void)path;
    EM_ASM({
        if (Module.gfPersist) Module.gfPersist();
    });
}

}  // namespace media::backend
