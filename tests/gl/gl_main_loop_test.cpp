// The main loop's own drawing: scan lines and the backdrops.
#include <gtest/gtest.h>

#include "game/game.h"
#include "game/globals.h"
#include "support/gl_screen.h"

using test_support::pixel_at;
using test_support::rgb;

TEST(main_loop_drawing, scan_lines_darken_every_odd_row_only) {
    test_support::open_test_screen();
    media::set_color(255, 255, 255);
    media::set_blend(media::blend_solid);
    media::draw_rect(0, 0, 640, 480);
    retro_fx = 1;
    media::set_scale(2.0f, 3.0f);  // whatever the last drawer left
    draw_scanlines(2);
    retro_fx = 0;
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(0, 0, 640, 480, px);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        const int want = (y % 2 == 1) ? 2 : 255;
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t* p = &px[(y * 640 + x) * 4];
            if (p[0] != want || p[1] != want || p[2] != want) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels off the pattern";
    EXPECT_EQ(media::current_draw_state().blend, media::blend_mask);
    EXPECT_EQ(media::current_draw_state().r, 255);
}

TEST(main_loop_drawing, scan_lines_off_draw_nothing) {
    test_support::open_test_screen();
    retro_fx = 0;
    draw_scanlines(200);
    EXPECT_EQ(pixel_at(10, 1), (rgb{0, 0, 0}));
}

TEST(main_loop_drawing, frozen_frame_is_dimmed_blue_with_black_see_through) {
    test_support::open_test_screen();
    media::set_mask_color(0, 0, 0);
    media::auto_image_flags(media::img_masked | media::img_dynamic);
    draw3d = std::make_shared<qbdraw_tag>();
    media::set_color(255, 255, 255);
    media::set_blend(media::blend_solid);
    media::draw_rect(0, 0, 320, 480);  // right half stays black
    img_snap = media::create_image(640, 480, 1);
    media::grab_image(img_snap, 0, 0, 0);
    media::reset_draw_state();

    game_state = gs_pause;
    draw_backdrop();
    EXPECT_EQ(pixel_at(100, 100), (rgb{50, 50, 100}));
    EXPECT_EQ(pixel_at(500, 100), (rgb{0, 0, 0}));
    game_state = gs_start;
    img_snap.reset();
}
