// The stereo renderer on the real renderer: where the eye copies land and what they add.
#include <gtest/gtest.h>

#include <functional>

#include "game/globals.h"
#include "media/text.h"
#include "support/gl_screen.h"

using test_support::pixel_at;
using test_support::rgb;

class stereo_test : public ::testing::Test {
  protected:
    media::image_ref white;

    void SetUp() override {
        test_support::open_test_screen();
        media::set_mask_color(0, 0, 0);
        media::auto_image_flags(media::img_masked | media::img_dynamic);
        white = test_support::solid_image(4, 4, 255, 255, 255);
        draw3d = std::make_shared<qbdraw_tag>();
        draw3d->use_pair(3);  // "R\C": (4, 80, 60) left, (140, 4, 10) right
    }
};

TEST_F(stereo_test, copies_add_up_per_pass_and_saturate) {
    draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);
    draw3d->i3d(white, 100, 100, 0, 0.0f, 0, 2);
    EXPECT_EQ(pixel_at(101, 101), (rgb{255, 168, 140})) << "both copies, two passes";

    media::clear_screen();
    draw3d->i3d(white, 100, 100, 0, 20.0f, 0, 2);
    EXPECT_EQ(pixel_at(81, 101), (rgb{8, 160, 120})) << "left copy alone";
    EXPECT_EQ(pixel_at(121, 101), (rgb{255, 8, 20})) << "right copy alone";
}

TEST_F(stereo_test, negative_offset_swaps_sides_and_no_pass_draws_nothing) {
    draw3d->i3d(white, 100, 100, 0, -8.0f, 0, 1);
    EXPECT_EQ(pixel_at(109, 101), (rgb{4, 80, 60})) << "left copy at x + 8";
    EXPECT_EQ(pixel_at(93, 101), (rgb{140, 4, 10})) << "right copy at x - 8";

    media::clear_screen();
    draw3d->i3d(white, 100, 100, 0, 0.0f, 0, 0);
    EXPECT_EQ(pixel_at(101, 101), (rgb{0, 0, 0}));
}

TEST_F(stereo_test, flat_mode_draws_once_with_the_callers_state) {
    draw3d->mode = 0;
    media::set_color(100, 200, 50);
    draw3d->sip(media::blend_solid, 1.0f, 0, 1.0f, 1.0f);
    draw3d->i3d(white, 100, 100, 0, 8.0f, 0, 2);
    EXPECT_EQ(pixel_at(101, 101), (rgb{100, 200, 50}));
    EXPECT_EQ(pixel_at(93, 101), (rgb{0, 0, 0})) << "no shifted copy";
    EXPECT_EQ(media::current_draw_state().blend, media::blend_solid);
}

TEST_F(stereo_test, eye_rotation_offset_leaves_the_whole_degrees) {
    draw3d->sip(media::blend_mask, 1.0f, 37.5f, 1.0f, 1.0f);
    draw3d->i3d(white, 100, 100, 0, 4.0f, 0, 2);
    EXPECT_FLOAT_EQ(media::get_rotation(), 37.5f) << "roffs 0 keeps the rotation";
    draw3d->i3d(white, 100, 100, 0, 4.0f, 1.0f, 2);
    EXPECT_FLOAT_EQ(media::get_rotation(), 37.0f);
    draw3d->mode = 0;
    media::set_rotation(-12.75f);
    draw3d->i3d(white, 100, 100, 0, 4.0f, 2.0f, 2);
    EXPECT_FLOAT_EQ(media::get_rotation(), -12.0f) << "flat too, truncated toward zero";
}

TEST_F(stereo_test, a_stereo_drawing_leaves_light_blend_and_the_right_tint) {
    auto font = media::load_image_font(GF_TEST_FONT, 26, media::font_smooth);
    ASSERT_TRUE(font);
    media::set_image_font(font);
    const media::draw_state& s = media::current_draw_state();
    const auto drawn = [&](const char* what, const std::function<void()>& draw, bool changes) {
        media::set_color(1, 2, 3);
        draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);
        draw();
        if (changes) {
            EXPECT_EQ(s.blend, media::blend_light) << what;
            EXPECT_EQ((rgb{s.r, s.g, s.b}), (rgb{140, 4, 10})) << what;
        } else {
            EXPECT_EQ(s.blend, media::blend_mask) << what;
            EXPECT_EQ((rgb{s.r, s.g, s.b}), (rgb{1, 2, 3})) << what;
        }
    };
    drawn(
        "i3d", [&] { draw3d->i3d(white, 100, 100, 0, 4.0f, 0, 2); }, true);
    drawn(
        "i3d turned apart", [&] { draw3d->i3d(white, 100, 100, 0, 4.0f, 2.0f, 1); }, true);
    drawn(
        "t3d", [&] { draw3d->t3d("Go", 100, 100, 4.0f, 1, 2); }, true);
    drawn(
        "no pass", [&] { draw3d->i3d(white, 100, 100, 0, 4.0f, 0, 0); }, false);
    drawn(
        "t3d, no pass", [&] { draw3d->t3d("Go", 100, 100, 4.0f, 1, 0); }, false);
    media::set_image_font(nullptr);
}

TEST_F(stereo_test, sip_sets_the_state_and_remembers_the_scale) {
    draw3d->sip(1, 1.0f, 0, 1.0f, 1.5f);
    const media::draw_state& s = media::current_draw_state();
    EXPECT_EQ(s.blend, 1);
    EXPECT_FLOAT_EQ(s.alpha, 1.0f);
    EXPECT_FLOAT_EQ(s.rotation, 0.0f);
    EXPECT_FLOAT_EQ(s.sx, 1.0f);
    EXPECT_FLOAT_EQ(s.sy, 1.5f);
    EXPECT_FLOAT_EQ(draw3d->txt_xs, 1.0f);
    EXPECT_FLOAT_EQ(draw3d->txt_ys, 1.5f);
}

TEST_F(stereo_test, centred_caption_is_the_plain_caption_moved_by_half_its_scaled_size) {
    auto font = media::load_image_font(GF_TEST_FONT, 26, media::font_smooth);
    ASSERT_TRUE(font);
    media::set_image_font(font);
    draw3d->mode = 0;
    const std::string text = "Ready";
    draw3d->sip(media::blend_mask, 1.0f, 0, 2.0f, 2.0f);
    draw3d->t3d(text, 320, 100, 4.0f, 1, 2);
    std::vector<std::uint8_t> centred, plain;
    media::backend::read_back_buffer(0, 0, 640, 480, centred);

    media::clear_screen();
    const float px = 320 - static_cast<float>(media::text_width(text)) * 2.0f / 2;
    const float py = 100 - static_cast<float>(media::text_height()) * 2.0f / 2;
    draw3d->t3d(text, px, py, 4.0f, 0, 2);
    media::backend::read_back_buffer(0, 0, 640, 480, plain);
    EXPECT_EQ(centred, plain);
    EXPECT_NE(plain, std::vector<std::uint8_t>(plain.size(), 0)) << "the caption drew something";
    media::set_image_font(nullptr);
}
