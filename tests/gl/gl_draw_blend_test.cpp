// The five blend modes, tinting and batching, read back from the real back buffer.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gl_draw_pictures.h"
#include "support/gl_screen.h"

using test_support::pixel_at;
using test_support::rgb;

namespace {

class draw_test : public ::testing::Test {
  protected:
    void SetUp() override {
        test_support::open_test_screen();
        media::set_mask_color(0, 0, 0);
        media::auto_image_flags(0);
        media::auto_mid_handle(0);
    }
    // Fills a 10 x 10 block at (100, 100) with `colour`, solid.
    static void backdrop(int r, int g, int b) {
        media::set_blend(media::blend_solid);
        media::set_alpha(1.0f);
        media::set_color(r, g, b);
        media::draw_rect(100, 100, 10, 10);
    }
    static void block(int blend, int r, int g, int b, float alpha) {
        media::set_blend(blend);
        media::set_alpha(alpha);
        media::set_color(r, g, b);
        media::draw_rect(100, 100, 10, 10);
    }
};

::testing::AssertionResult near(const rgb& got, const rgb& want, int tolerance) {
    for (int c = 0; c < 3; ++c) {
        if (std::abs(got[c] - want[c]) > tolerance) {
            return ::testing::AssertionFailure()
                   << "expected (" << want[0] << ", " << want[1] << ", " << want[2] << ") +-"
                   << tolerance << ", got (" << got[0] << ", " << got[1] << ", " << got[2] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(draw_test, light_adds_and_saturates) {
    block(media::blend_light, 140, 4, 10, 1.0f);
    block(media::blend_light, 4, 80, 60, 1.0f);
    EXPECT_EQ(pixel_at(105, 105), (rgb{144, 84, 70})) << "two eye tints on black";

    backdrop(200, 100, 7);
    block(media::blend_light, 0, 0, 0, 1.0f);
    EXPECT_EQ(pixel_at(105, 105), (rgb{200, 100, 7})) << "black adds nothing";
    block(media::blend_light, 100, 200, 40, 0.5f);
    EXPECT_TRUE(near(pixel_at(105, 105), {250, 200, 27}, 1)) << "alpha scales what is added";
    block(media::blend_light, 100, 200, 40, 1.0f);
    EXPECT_EQ(pixel_at(105, 105), (rgb{255, 255, 67})) << "saturates at 255";
}

TEST_F(draw_test, stereo_copies_of_a_white_picture_add_per_pass) {
    // Scheme "R\C" with offset 0 and two passes: four light copies on one spot.
    const media::image_ref white = test_support::solid_image(4, 4, 255, 255, 255);
    for (int pass = 0; pass < 2; ++pass) {
        media::set_blend(media::blend_light);
        media::set_color(4, 80, 60);
        media::draw_image(white, 200, 200, 0);
        media::set_color(140, 4, 10);
        media::draw_image(white, 200, 200, 0);
    }
    EXPECT_EQ(pixel_at(201, 201), (rgb{255, 168, 140}));
    media::clear_screen();
    for (int pass = 0; pass < 2; ++pass) {
        media::set_color(4, 80, 60);
        media::draw_image(white, 200, 200, 0);
    }
    EXPECT_EQ(pixel_at(201, 201), (rgb{8, 160, 120})) << "left copy alone";
}

TEST_F(draw_test, solid_alpha_and_shade_combine_as_the_table_says) {
    backdrop(0, 0, 200);
    block(media::blend_solid, 10, 20, 30, 0.2f);
    EXPECT_EQ(pixel_at(105, 105), (rgb{10, 20, 30})) << "solid ignores alpha";

    backdrop(0, 0, 200);
    block(media::blend_alpha, 200, 100, 0, 0.6f);
    EXPECT_TRUE(near(pixel_at(105, 105), {120, 60, 80}, 1)) << "s * 0.6 + d * 0.4";
    backdrop(50, 60, 70);
    block(media::blend_alpha, 255, 255, 255, 0.0f);
    EXPECT_EQ(pixel_at(105, 105), (rgb{50, 60, 70})) << "alpha 0 leaves the back buffer";

    backdrop(200, 100, 50);
    block(media::blend_shade, 128, 255, 0, 0.1f);
    EXPECT_TRUE(near(pixel_at(105, 105), {100, 100, 0}, 1)) << "d * s, alpha ignored";
}

TEST_F(draw_test, mask_draws_where_alpha_reaches_one_half) {
    // Picture alpha 255, 128, 127, 0 in four columns.
    std::vector<std::uint8_t> px;
    for (int y = 0; y < 2; ++y)
        for (int a : {255, 128, 127, 0}) px.insert(px.end(), {250, 40, 30, std::uint8_t(a)});
    const media::image_ref img = gl_pictures::load_picture(4, 2, 4, px);
    ASSERT_TRUE(img);
    backdrop(5, 6, 7);
    media::set_blend(media::blend_mask);
    media::set_color(255, 255, 255);
    media::draw_image(img, 100, 100, 0);
    EXPECT_EQ(pixel_at(100, 100), (rgb{250, 40, 30})) << "opaque replaces";
    EXPECT_EQ(pixel_at(101, 100), (rgb{250, 40, 30})) << "alpha 128 is drawn, not faded";
    EXPECT_EQ(pixel_at(102, 100), (rgb{5, 6, 7})) << "alpha 127 is not drawn";
    EXPECT_EQ(pixel_at(103, 100), (rgb{5, 6, 7}));

    backdrop(5, 6, 7);
    media::set_blend(media::blend_mask);
    media::set_color(255, 255, 255);
    media::set_alpha(0.4f);
    media::draw_image(img, 100, 100, 0);
    EXPECT_EQ(pixel_at(100, 100), (rgb{5, 6, 7})) << "alpha setting 0.4 hides it all";
    media::set_alpha(0.5f);
    media::draw_image(img, 100, 100, 0);
    EXPECT_EQ(pixel_at(100, 100), (rgb{250, 40, 30})) << "alpha setting 0.5 draws it whole";
}

TEST_F(draw_test, colour_tints_the_picture) {
    const media::image_ref img = test_support::solid_image(4, 4, 200, 100, 50);
    media::set_blend(media::blend_solid);
    media::set_color(128, 255, 0);
    media::draw_image(img, 300, 300, 0);
    EXPECT_TRUE(near(pixel_at(301, 301), {100, 100, 0}, 1));
}

TEST_F(draw_test, lines_cover_whole_rows_and_the_last_pixel_on_request) {
    backdrop(255, 255, 255);
    media::set_blend(media::blend_solid);
    media::set_color(255, 255, 255);
    media::draw_rect(0, 0, 640, 480);
    media::set_color(2, 2, 2);
    for (int y = 1; y <= 479; y += 2) media::draw_line(0, float(y), 640, float(y), 1);
    for (int y : {1, 3, 241, 479}) {
        EXPECT_EQ(pixel_at(0, y), (rgb{2, 2, 2})) << "row " << y;
        EXPECT_EQ(pixel_at(639, y), (rgb{2, 2, 2})) << "row " << y;
    }
    for (int y : {0, 2, 240, 478}) EXPECT_EQ(pixel_at(320, y), (rgb{255, 255, 255})) << "row " << y;

    media::clear_screen();
    media::set_color(255, 0, 0);
    media::draw_line(10, 20, 15, 20, 0);
    media::draw_line(10, 30, 15, 30, 1);
    media::draw_line(40, 10, 40, 14, 1);
    EXPECT_EQ(pixel_at(14, 20), (rgb{255, 0, 0}));
    EXPECT_EQ(pixel_at(15, 20), (rgb{0, 0, 0})) << "no last pixel";
    EXPECT_EQ(pixel_at(15, 30), (rgb{255, 0, 0})) << "last pixel";
    EXPECT_EQ(pixel_at(40, 14), (rgb{255, 0, 0})) << "vertical, last pixel";
    EXPECT_EQ(pixel_at(40, 15), (rgb{0, 0, 0}));
    EXPECT_EQ(pixel_at(41, 12), (rgb{0, 0, 0})) << "one pixel wide";
}

TEST_F(draw_test, alternate_rows_fill_what_solid_lines_on_those_rows_would) {
    struct rect {
        int x, y, w, h;
    };
    // Bands of colour, so a row filled or missed shows.
    const auto backdrop_bands = [] {
        media::set_blend(media::blend_solid);
        for (int y = 0; y < 480; y += 3) {
            media::set_color(y % 251, (y * 7) % 256, 255 - y % 200);
            media::draw_rect(0, float(y), 640, 3);
        }
        media::set_color(2, 60, 200);
    };
    const auto screen = [] {
        std::vector<std::uint8_t> px;
        media::backend::read_back_buffer(0, 0, 640, 480, px);
        return px;
    };
    for (const rect r : {rect{0, 1, 640, 479}, rect{13, 6, 187, 95}, rect{-5, -3, 700, 20}}) {
        backdrop_bands();
        for (int y = r.y; y < r.y + r.h; y += 2)
            media::draw_line(float(r.x), float(y), float(r.x + r.w - 1), float(y), 1);
        const std::vector<std::uint8_t> want = screen();
        backdrop_bands();
        media::set_blend(media::blend_light);  // the rows are opaque whatever the blend
        media::set_alpha(0.3f);                // and the alpha
        media::fill_alternate_rows(r.x, r.y, r.w, r.h);
        EXPECT_EQ(media::current_draw_state().blend, media::blend_light);
        EXPECT_TRUE(screen() == want) << "rows from " << r.y << ", " << r.h << " high";
    }
}

TEST_F(draw_test, runs_of_one_texture_and_blend_are_one_draw_call) {
    const media::image_ref a = test_support::solid_image(4, 4, 10, 10, 10);
    const media::image_ref b = test_support::solid_image(4, 4, 20, 20, 20);
    media::flip(0);

    media::set_blend(media::blend_mask);
    media::draw_image(a, 10, 10, 0);
    media::set_color(1, 2, 3);
    media::set_alpha(0.7f);
    media::set_rotation(30);
    media::draw_image(a, 20, 10, 0);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 1) << "colour, alpha and turn travel per vertex";

    media::draw_image(a, 10, 10, 0);
    media::set_blend(media::blend_light);
    media::draw_image(a, 20, 10, 0);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 2) << "a blend change";

    media::draw_image(a, 10, 10, 0);
    media::draw_image(b, 10, 10, 0);
    media::draw_image(a, 10, 10, 0);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 3) << "texture changes";

    media::set_blend(media::blend_solid);
    for (int y = 1; y < 480; y += 2) media::draw_line(0, float(y), 640, float(y), 1);
    media::draw_rect(0, 0, 5, 5);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 1) << "240 lines and a rectangle";

    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 0) << "an empty frame";
}

TEST_F(draw_test, the_presented_frame_stays_in_the_back_buffer) {
    backdrop(33, 66, 99);
    media::flip(0);
    EXPECT_EQ(pixel_at(105, 105), (rgb{33, 66, 99})) << "the runner's shots read it after flip";
}
