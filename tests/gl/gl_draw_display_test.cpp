// The display itself: opening it, the letterbox and pointer mapping, drawing straight into
// the window, and a missing display.
#include <gtest/gtest.h>

#include <cstdlib>

#include "media/backend/gl/gl_renderer.h"
#include "media/backend/sdl/window.h"
#include "media/stereo_pair.h"
#include "support/gl_screen.h"

TEST(display_test, opens_640_by_480_and_resets_the_drawing_state) {
    test_support::open_test_screen();
    media::set_color(1, 2, 3);
    media::set_alpha(0.25f);
    media::set_blend(media::blend_shade);
    media::set_transform(45, 2, 3);
    media::open_graphics(640, 480, 32, 60, 2);
    EXPECT_EQ(media::graphics_width(), 640);
    EXPECT_EQ(media::graphics_height(), 480);
    const media::draw_state& s = media::current_draw_state();
    EXPECT_EQ((std::array<int, 3>{s.r, s.g, s.b}), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(s.blend, media::blend_mask);
    EXPECT_EQ(s.rotation, 0.0f);
    EXPECT_EQ(s.sx, 1.0f);
    EXPECT_EQ(s.sy, 1.0f);
    EXPECT_EQ(test_support::pixel_at(320, 240), (test_support::rgb{0, 0, 0}));
    media::set_alpha(7.0f);
    EXPECT_EQ(s.alpha, 1.0f) << "alpha is clamped";
    media::set_alpha(-1.0f);
    EXPECT_EQ(s.alpha, 0.0f);
}

TEST(display_test, the_screen_sits_whole_scaled_and_centred_and_the_pointer_maps_both_ways) {
    test_support::open_test_screen();
    int dw = 0, dh = 0;
    media::backend::window_drawable_size(dw, dh);
    const media::backend::letterbox lb = media::backend::window_letterbox();
    ASSERT_GE(lb.w, 640) << "drawable " << dw << " x " << dh;
    EXPECT_EQ(lb.w % 640, 0) << "whole scale";
    EXPECT_EQ(lb.w / 640, lb.h / 480) << "same scale both ways";
    EXPECT_TRUE(lb.w + 640 > dw || lb.h + 480 > dh) << "the largest scale that fits";
    EXPECT_EQ(lb.x, (dw - lb.w) / 2);
    EXPECT_EQ(lb.y, (dh - lb.h) / 2);

    for (const auto& [sx, sy] : {std::pair{0, 0}, {639, 479}, {320, 240}, {17, 401}}) {
        int wx = 0, wy = 0, bx = 0, by = 0;
        media::backend::screen_to_window(sx, sy, wx, wy);
        media::backend::window_to_screen(wx, wy, bx, by);
        EXPECT_EQ(bx, sx) << "round trip of (" << sx << ", " << sy << ")";
        EXPECT_EQ(by, sy);
    }
    int sx = 0, sy = 0;
    media::backend::window_to_screen(-50, 100000, sx, sy);
    EXPECT_EQ(sx, 0) << "bars and beyond clamp to the screen's edge";
    EXPECT_EQ(sy, 479);
}

namespace {

// A few frames drawn into `target`, the last one read back before it goes up: a picture
// grabbed from the screen, drawn stretched from half a pixel across, a stereo pair of it
// that comes back every frame, so that it is kept as a picture of its own, and a small
// pair drawn as it comes after that. No edge lies on a row's centre: turned upside down,
// a GL may round those the other way.
std::vector<std::uint8_t> frames_drawn_into(media::backend::frame_target target) {
    test_support::open_test_screen();
    std::string error;
    EXPECT_TRUE(media::backend::renderer_open(640, 480, target, error)) << error;
    media::set_blend(media::blend_solid);
    media::set_color(40, 160, 90);
    media::draw_rect(0, 0, 80, 80);
    media::set_color(250, 230, 20);
    media::draw_rect(0, 0, 20, 10);  // marks the picture's top-left
    media::image_ref picture = media::create_image(80, 80, 1);
    media::grab_image(picture, 0, 0, 0);
    std::vector<std::uint8_t> px;
    for (int frame = 0; frame < 4; ++frame) {
        media::reset_draw_state();
        media::clear_screen();
        media::set_color(255, 0, 0);
        media::draw_rect(3, 5, 20, 7);
        media::set_color(255, 255, 255);
        media::set_scale(1.5f, 1.5f);
        media::draw_image(picture, 100.5f, 200, 0);
        media::set_scale(1.0f, 1.0f);
        media::draw_image_pair(picture, 400, 100, 0, {255, 0, 0}, {0, 255, 255}, 8, 1);
        media::set_scale(0.5f, 0.5f);  // too small to keep
        media::draw_image_pair(picture, 500, 300, 0, {255, 0, 0}, {0, 255, 255}, 8, 1);
        if (frame == 3) media::backend::read_back_buffer(0, 0, 640, 480, px);
        media::backend::present();
    }
    return px;
}

}  // namespace

TEST(display_test, frames_drawn_straight_into_the_window_are_the_back_buffers) {
    using media::backend::frame_target;
    const std::vector<std::uint8_t> buffered = frames_drawn_into(frame_target::back_buffer);
    const std::vector<std::uint8_t> straight = frames_drawn_into(frame_target::window);
    ASSERT_EQ(straight.size(), std::size_t(640 * 480 * 4));
    EXPECT_EQ((std::array<int, 3>{straight[(5 * 640 + 3) * 4], straight[(5 * 640 + 3) * 4 + 1],
                                  straight[(5 * 640 + 3) * 4 + 2]}),
              (std::array<int, 3>{255, 0, 0}))
        << "the top-left of the screen reads back at the top-left";
    int off = 0;
    for (std::size_t i = 0; i < straight.size(); ++i) off += straight[i] != buffered[i];
    EXPECT_EQ(off, 0) << "bytes that differ";
    std::string error;
    EXPECT_TRUE(media::backend::renderer_open(640, 480, frame_target::back_buffer, error));
}

TEST(display_test, no_display_stops_with_one_clear_line) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            media::close_graphics();
            setenv("SDL_VIDEODRIVER", "dummy", 1);  // a driver without OpenGL
            test_support::install_test_platform();
            media::open_graphics(640, 480, 32, 60, 2);
        },
        ::testing::ExitedWithCode(1), "cannot open the display: ");
}
