// Filled rectangles and one-pixel lines in the drawing state's colour, alpha and blend.
#pragma once

namespace media {

void draw_rect(float x, float y, float width, float height);
void draw_line(float x1, float y1, float x2, float y2, int last_pixel);

}  // namespace media
