// The display: opening the window and back buffer, and flip with its frame pacing. Game
// time is counted in frames, so the pace of flip is what keeps the game at 60 per second.
#include "media/display.h"

#include "media/backend/gl/gl_renderer.h"
#include "media/backend/sdl/window.h"
#include "media/draw_state.h"
#include "media/log.h"
#include "media/platform.h"

namespace media {

namespace {

struct display_state {
    std::string title = "Glimmerfrost 3D";
    bool open = false;
    int width = 0, height = 0;
    int hertz = 0;
    int presented = 0;
    bool vsync = false;       // what the swap interval is set to now
    bool retrace_ok = false;  // the retrace itself runs at `hertz`
    // The 16/17 ms clock: a whole period, and the remainder carried in 1/hertz ms.
    int period = 0, remainder = 0, next_tick = 0, carried = 0;
};

display_state& ds() {
    static display_state s;
    return s;
}

void use_vsync(bool on) {
    if (ds().vsync == on) return;
    ds().vsync = backend::window_set_vsync(on) && on;
}

// Presents with the retrace for up to a second: three presents in a row of 1000 / hertz
// ms, give or take one, mean the retrace already runs at the game's rate.
bool retrace_runs_at(int hertz) {
    use_vsync(true);
    if (!ds().vsync) return false;
    platform& pf = current_platform();
    const int period = 1000 / hertz;
    const int start = pf.millisecs();
    int last = start, in_a_row = 0;
    // The count bounds a clock that does not move while presenting.
    for (int tries = 0; tries < 1000; ++tries) {
        backend::present();
        const int now = pf.millisecs();
        const int took = now - last;
        last = now;
        in_a_row = (took >= period - 1 && took <= period + 1) ? in_a_row + 1 : 0;
        if (in_a_row == 3) return true;
        if (now - start >= 1000) return false;
    }
    return false;
}

void pace_by_clock() {
    display_state& s = ds();
    platform& pf = current_platform();
    s.next_tick += s.period;
    s.carried += s.remainder;
    if (s.carried >= s.hertz) {
        s.carried -= s.hertz;
        s.next_tick += 1;
    }
    const int now = pf.millisecs();
    const int wait = s.next_tick - now;
    if (wait <= 0)
        s.next_tick = now;  // a late frame starts a fresh period: no burst of quick frames
    pf.wait_for_frame(wait);
}

}  // namespace

void set_app_title(const std::string& title) {
    ds().title = title;
    backend::window_set_title(title);
}

void open_graphics(int width, int height, int depth, int hertz, int flags) {
    (void)flags;  // the back buffer is always there
    close_graphics();
    display_state& s = ds();
    std::string error;
    if (width <= 0 || height <= 0) fatal_error("cannot open the display: no size given");
    if (!backend::window_open(s.title, width, height, error))
        fatal_error("cannot open the display: " + error);
    const auto target = backend::window_keeps_screen_size() ? backend::frame_target::window
                                                            : backend::frame_target::back_buffer;
    if (!backend::renderer_open(width, height, target, error)) {
        backend::window_close();
        fatal_error("cannot open the display: " + error);
    }
    if (depth == 0) backend::window_toggle_fullscreen();  // depth 0 asks for a window
    s.open = true;
    s.width = width;
    s.height = height;
    s.hertz = hertz;
    s.presented = 0;
    s.vsync = false;
    s.retrace_ok = false;
    reset_draw_state();
    move_mouse(width / 2, height / 2);

    if (hertz > 0) {
        s.period = 1000 / hertz;
        s.remainder = 1000 - s.period * hertz;
        if (depth != 0 && current_platform().may_probe_retrace())
            s.retrace_ok = retrace_runs_at(hertz);
        backend::clear_back_buffer(0, 0, 0);
        s.carried = 0;
        s.next_tick = current_platform().millisecs();
    }
    use_vsync(s.retrace_ok);
}

void flip(int sync) {
    display_state& s = ds();
    if (!s.open) return;
    // A page shows its canvas whenever the game waits. Drawn straight into the canvas, a
    // frame goes up before the wait, so the page never finds one half drawn there.
    const bool up_before_wait = backend::renderer_draws_into_window();
    if (up_before_wait) backend::present();
    if (sync < 0 && s.hertz > 0 && !s.retrace_ok) {
        use_vsync(false);
        pace_by_clock();
    } else {
        use_vsync(sync > 0 || (sync < 0 && s.retrace_ok));
    }
    if (!up_before_wait) backend::present();
    ++s.presented;
    current_platform().frame_presented(s.presented);
}

void clear_screen() {
    backend::clear_back_buffer(0, 0, 0);
}

int graphics_width() {
    return ds().open ? ds().width : 0;
}
int graphics_height() {
    return ds().open ? ds().height : 0;
}

void close_graphics() {
    display_state& s = ds();
    if (!s.open) return;
    backend::renderer_close();
    backend::window_close();
    s.open = false;
    s.width = s.height = 0;
}

int draw_calls_last_frame() {
    return backend::draw_calls_last_frame();
}

int frames_presented() {
    return ds().presented;
}

}  // namespace media
