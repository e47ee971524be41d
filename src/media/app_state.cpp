// The application's side of the display: the system pointer, focus and close requests.
#include "media/backend/sdl/window.h"
#include "media/display.h"
#include "media/input.h"
#include "media/platform.h"

namespace media {

void hide_mouse() {
    // The runner and the tests may have no window at all.
    if (backend::window_is_open()) backend::window_show_cursor(false);
}

void move_mouse(int x, int y) {
    pump_events();  // older pointer motion must not overwrite the new position
    set_mouse_position(x, y);
    current_platform().warp_mouse(x, y);
}

int app_suspended() {
    platform& p = current_platform();
    p.suspend_queried();
    pump_events();
    // A close request (the taskbar, a logout's SIGTERM) must not wait for the focus.
    if (!focus_is_lost() || close_is_pending()) return 0;
    // The game calls this in a tight loop while it is away; waiting here keeps it off the CPU.
    p.wait_event(20);
    return 1;
}

int app_terminate() {
    pump_events();
    return take_close_request() ? 1 : 0;
}

}  // namespace media
