// Display and frame: the one 640 x 480 back buffer, its presentation in the window,
// frame pacing, and the application's focus and close state.
// Called by the game's main loop and screens; needs an installed platform (platform.h).
#pragma once

#include <string>

namespace media {

void set_app_title(const std::string& title);  // shown in the window caption and task list
// Opens the window and the 640 x 480 back buffer. Resets the drawing state, centres the
// pointer and starts the frame clock. Stops the program with a message if no display.
void open_graphics(int width, int height, int depth, int hertz, int flags);
void flip(int sync);  // 1 retrace, 0 at once, -1 paced to the hertz of open_graphics
void clear_screen();  // fills the back buffer with black
int graphics_width();
int graphics_height();
void hide_mouse();
void move_mouse(int x, int y);  // screen pixels; mouse_x/mouse_y read it back at once
int app_suspended();            // 1 while the focus is lost and no close is pending; waits briefly
int app_terminate();            // 1 once per close request
void close_graphics();          // tears the window down at program end

// Draw calls sent to the GPU while the previous frame was built (for benchmarks).
int draw_calls_last_frame();
// Number of frames presented since open_graphics.
int frames_presented();

}  // namespace media
