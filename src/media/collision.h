// Pixel-exact overlap of two image frames placed as draw_image would place them under the
// current rotation and scale. Reads the CPU copy of the frames; alpha >= 128 is solid.
#pragma once

#include "media/image.h"

namespace media {

int images_collide(const image_ref& img1, int x1, int y1, int frame1, const image_ref& img2, int x2,
                   int y2, int frame2);

}  // namespace media
