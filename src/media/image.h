// Images: lists of equally sized RGBA frames with a handle point, kept on the CPU (for
// collision and grabs) and on the GPU (for drawing). Loaders give nullptr on failure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

enum image_flags : int { img_masked = 1, img_filtered = 2, img_mipmapped = 4, img_dynamic = 8 };

struct image;
using image_ref = std::shared_ptr<image>;

void set_mask_color(int r, int g, int b);  // mask colour of images made from now on
void auto_image_flags(int flags);          // -1 leaves the setting unchanged
void auto_mid_handle(int on);              // new images get their handle at the centre
image_ref create_image(int width, int height, int frames);
image_ref load_image(const std::string& source);  // embedded name or file path; nullptr if bad
void mid_handle_image(const image_ref& img);
void grab_image(const image_ref& img, int x, int y, int frame);  // from the back buffer
void draw_image(const image_ref& img, float x, float y, int frame);

int image_width(const image_ref& img);
int image_height(const image_ref& img);
int image_frames(const image_ref& img);
float image_handle_x(const image_ref& img);
float image_handle_y(const image_ref& img);
// The CPU copy of one frame: width x height RGBA pixels, row by row from the top.
const std::vector<std::uint8_t>& image_pixels(const image_ref& img, int frame);

}  // namespace media
