// Every picture of the game, drawn by code. Each function returns the finished
// 8-bit picture at its exact size; black pixels are the transparent ones.
#pragma once

#include <string>

#include "canvas.h"

namespace ag {

image8 draw_background();  // 640 x 480 night sky
// The mountain band is 1280 x 256 and repeats; half 0 or 1 of it.
image8 draw_mountains(int half);
image8 draw_ground(int half);                     // 640 x 200 of the 1280-wide ground band
image8 draw_sheet();                              // 575 x 416 sprite sheet
image8 draw_pointer();                            // 18 x 18
image8 draw_title(const std::string& font_path);  // 486 x 139
image8 draw_logo(const std::string& font_path);   // 420 x 236
// The desktop icon, size x size with coverage as alpha (written as RGBA, unlike the rest).
canvas draw_icon(int size);

// Sprite frames, each at its own size, for the sheet.
image8 draw_player_frame(int frame);  // 404 x 82, frames 0..4
image8 draw_stuff_frame(int frame);   // 18 x 20, frames 0..7
image8 draw_star_frame(int frame);    // 112 x 112, frames 0..2
image8 draw_flake();                  // 10 x 10

}  // namespace ag
