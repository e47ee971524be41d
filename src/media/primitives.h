// Filled rectangles and one-pixel lines in the drawing state's colour, alpha and blend.
#pragma once

namespace media {

void draw_rect(float x, float y, float width, float height);
void draw_line(float x1, float y1, float x2, float y2, int last_pixel);
// Every other pixel row of a rectangle with whole-pixel edges, from its first row down,
// in the drawing state's colour, opaque, whatever the blend: what one-row solid lines on
// those rows draw, in one quad (the retro scan lines).
void fill_alternate_rows(int x, int y, int width, int height);

}  // namespace media
