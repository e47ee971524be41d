// The SDL window and its OpenGL 3.3 core context, shared by the game and the runner (which
// runs it on SDL's offscreen driver). The 640 x 480 screen is shown in the drawable at the
// largest whole scale that fits, centred, with black bars.
#pragma once

#include <string>

namespace media::backend {

// Opens a desktop-fullscreen window (no mode switch) with a GL 3.3 core context.
// False, with `error` set, when no display or no context can be had.
bool window_open(const std::string& title, int screen_w, int screen_h, std::string& error);
void window_close();
// From now on windows are drawn where no one sees them (the runner); call before
// window_open. Headless too when a headless video driver was asked for (the tests).
void window_go_headless();
bool window_is_headless();
bool window_is_open();
void window_set_title(const std::string& title);
void window_swap();               // presents the default framebuffer
bool window_set_vsync(bool on);   // false when the driver refuses
void window_toggle_fullscreen();  // Alt+Enter
void window_show_cursor(bool on);
void window_drawable_size(int& w, int& h);
// The page's canvas always keeps the screen's size; the page scales it.
bool window_keeps_screen_size();

// Where the screen lands in the drawable, in drawable pixels.
struct letterbox {
    int x = 0, y = 0, w = 0, h = 0;
};
letterbox window_letterbox();
// Window coordinates (SDL's, which may differ from drawable pixels on HiDPI) to screen
// pixels and back, clamped to the screen.
void window_to_screen(int wx, int wy, int& sx, int& sy);
void screen_to_window(int sx, int sy, int& wx, int& wy);
// A point given as fractions of the window's width and height (SDL's finger positions) to
// screen pixels, clamped to the screen.
void window_fraction_to_screen(float fx, float fy, int& sx, int& sy);
void window_warp_pointer(int sx, int sy);  // moves the system pointer to a screen pixel

}  // namespace media::backend
