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
EM_JS(int, page_asks_for_escape, (), {
    const asked = Module.gfEscapeAsked ? 1 : 0;
    Module.gfEscapeAsked = false;
    return asked;
});
// A hidden page gets no animation frames; the clock's own time (which the page slows to
// about a second) then ends the wait, so saves asked for on hiding are still written.
EM_ASYNC_JS(void, wait_for_animation_frame, (int ms), {
    const due = performance.now() + ms, halfFrame = 8;
    await new Promise((resolve) => {
        const timer = setTimeout(resolve, Math.max(ms, 0) + 100);
        const tick = () => {
            if (performance.now() < due - halfFrame) return requestAnimationFrame(tick);
            clearTimeout(timer);
            resolve();
        };
        requestAnimationFrame(tick);
    });
});
// clang-format on

constexpr int escape_key = 27;

}  // namespace

bool web_platform::poll_event(platform_event& ev) {
    ev = {};
    if (page_asks_for_saves()) {
        ev.kind = platform_event::save_request;
        return true;
    }
    if (escape_to_release_) {
        escape_to_release_ = false;
        ev.kind = platform_event::key_up;
        ev.code = escape_key;
        return true;
    }
    if (page_asks_for_escape()) {
        escape_to_release_ = true;
        ev.kind = platform_event::key_down;
        ev.code = escape_key;
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

void web_platform::wait_for_frame(int ms) {
    feed_streams();
    wait_for_animation_frame(ms);
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
