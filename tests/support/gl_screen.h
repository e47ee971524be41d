// Opens the real renderer on an offscreen context once per test binary, on the test
// platform, and reads back pixels of the 640 x 480 screen.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "media/backend/gl/back_buffer.h"
#include "media/display.h"
#include "media/draw_state.h"
#include "media/image.h"
#include "media/primitives.h"
#include "support/test_platform.h"

namespace test_support {

inline void open_test_screen() {
    static bool open = false;
    if (!open) {
        install_test_platform();
        media::open_graphics(640, 480, 32, 60, 2);
        open = true;
    }
    media::reset_draw_state();
    media::clear_screen();
}

using rgb = std::array<int, 3>;

inline rgb pixel_at(int x, int y) {
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(x, y, 1, 1, px);
    return {px[0], px[1], px[2]};
}

// A w x h image of one colour, made by grabbing a rectangle drawn on the back buffer.
inline media::image_ref solid_image(int w, int h, int r, int g, int b) {
    media::clear_screen();
    media::set_color(r, g, b);
    media::set_blend(media::blend_solid);
    media::draw_rect(0, 0, static_cast<float>(w), static_cast<float>(h));
    media::image_ref img = media::create_image(w, h, 1);
    media::grab_image(img, 0, 0, 0);
    media::reset_draw_state();
    media::clear_screen();
    return img;
}

// An image of `frames` opaque frames with its handle at its centre, like the sprites.
inline media::image_ref solid_sprite(int w, int h, int frames) {
    media::clear_screen();
    media::set_color(200, 200, 200);
    media::set_blend(media::blend_solid);
    media::draw_rect(0, 0, static_cast<float>(w), static_cast<float>(h));
    media::auto_mid_handle(1);
    media::image_ref img = media::create_image(w, h, frames);
    media::auto_mid_handle(0);
    for (int f = 0; f < frames; ++f) media::grab_image(img, 0, 0, f);
    media::reset_draw_state();
    media::clear_screen();
    return img;
}

}  // namespace test_support
