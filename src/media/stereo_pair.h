// Stereo pairs: an image frame or a caption drawn as two tinted copies, the left one at
// x - offs and the right one at x + offs, added onto the back buffer `passes` times.
// Called by the stereo renderer, once per item.
// The pixels are those of `passes` rounds of two light draws (left tint, then right tint),
// within rounding, but each item is placed once and reaches the GPU in one call, square
// copies as one quad over both. The drawing state's alpha, rotation and scale apply; its
// colour and blend do not, and the state is left as it was. Nothing is drawn when
// passes < 1.
#pragma once

#include <string>

#include "media/image.h"

namespace media {

struct tint {
    int r = 0, g = 0, b = 0;  // 0..255 each, as set_color takes them
};

// (x, y): where the frame's handle lands, as draw_image.
void draw_image_pair(const image_ref& img, float x, float y, int frame, tint left, tint right,
                     float offs, int passes);
// (x, y): the top-left of the caption's line, as draw_text, in the current font.
void draw_text_pair(const std::string& text, float x, float y, tint left, tint right, float offs,
                    int passes);

}  // namespace media
