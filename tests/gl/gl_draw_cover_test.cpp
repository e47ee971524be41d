// Large frames skip their clear cells, and light draws batch together: both must give the
// very pixels that drawing everything apart would.
#include <gtest/gtest.h>

#include "gl_draw_pictures.h"
#include "support/gl_screen.h"

using test_support::pixel_at;
using test_support::rgb;

namespace {

constexpr int pic_w = 150, pic_h = 70;  // not a multiple of the 16-pixel cells

// Sky above a jagged ridge, a clear hole, and a lone pixel deep in the sky.
std::vector<std::uint8_t> ridge_picture() {
    std::vector<std::uint8_t> px;
    for (int y = 0; y < pic_h; ++y)
        for (int x = 0; x < pic_w; ++x) {
            bool clear = y < 20 + (x * 7) % 37 || (x > 100 && x < 120 && y > 40 && y < 60);
            if (x == 3 && y == 2) clear = false;
            const std::uint8_t r = clear ? 0 : std::uint8_t(40 + x),
                               g = clear ? 0 : std::uint8_t(3 * y),
                               b = clear ? 0 : std::uint8_t(90);
            px.insert(px.end(), {r, g, b});
        }
    return px;
}

class cover_test : public ::testing::Test {
  protected:
    media::image_ref pic;
    std::vector<std::uint8_t> src = ridge_picture();
    void SetUp() override {
        test_support::open_test_screen();
        media::set_mask_color(0, 0, 0);
        media::auto_image_flags(media::img_masked);
        pic = gl_pictures::load_picture(pic_w, pic_h, 3, src);
        media::auto_image_flags(0);
        ASSERT_TRUE(pic);
    }
    static void grey_backdrop() {
        media::set_blend(media::blend_solid);
        media::set_color(30, 30, 30);
        media::draw_rect(0, 0, 640, 480);
        media::set_color(255, 255, 255);
    }
    // Every pixel of the frame drawn at (x0, y0) against `expect(x, y, src_pixel, clear)`.
    template <typename Expect>
    int mismatches(int x0, int y0, Expect expect) const {
        std::vector<std::uint8_t> got;
        media::backend::read_back_buffer(x0, y0, pic_w, pic_h, got);
        int bad = 0;
        for (int y = 0; y < pic_h; ++y)
            for (int x = 0; x < pic_w; ++x) {
                const std::uint8_t* s = &src[(std::size_t(y) * pic_w + std::size_t(x)) * 3];
                const bool clear = !(s[0] | s[1] | s[2]);
                const rgb want = expect(s, clear);
                const std::uint8_t* g = &got[(std::size_t(y) * pic_w + std::size_t(x)) * 4];
                bad += want != rgb{g[0], g[1], g[2]};
            }
        return bad;
    }
};

}  // namespace

TEST_F(cover_test, mask_alpha_and_light_draw_every_pixel_that_shows) {
    grey_backdrop();
    media::set_blend(media::blend_mask);
    media::draw_image(pic, 10, 10, 0);
    EXPECT_EQ(mismatches(10, 10,
                         [](const std::uint8_t* s, bool clear) {
                             return clear ? rgb{30, 30, 30} : rgb{s[0], s[1], s[2]};
                         }),
              0)
        << "mask";

    grey_backdrop();
    media::set_blend(media::blend_light);
    media::draw_image(pic, 200, 10, 0);
    EXPECT_EQ(mismatches(200, 10,
                         [](const std::uint8_t* s, bool clear) {
                             return clear ? rgb{30, 30, 30}
                                          : rgb{30 + s[0], std::min(255, 30 + s[1]), 30 + s[2]};
                         }),
              0)
        << "light";

    grey_backdrop();
    media::set_blend(media::blend_alpha);
    media::draw_image(pic, 10, 200, 0);
    EXPECT_EQ(mismatches(10, 200,
                         [](const std::uint8_t* s, bool clear) {
                             return clear ? rgb{30, 30, 30} : rgb{s[0], s[1], s[2]};
                         }),
              0)
        << "alpha";

    grey_backdrop();
    media::set_blend(media::blend_shade);  // shade darkens under clear pixels too
    media::draw_image(pic, 200, 200, 0);
    EXPECT_EQ(pixel_at(200 + 50, 200 + 5), (rgb{0, 0, 0})) << "shade under sky";
}

TEST_F(cover_test, stretched_and_turned_frames_keep_their_pixels) {
    grey_backdrop();
    media::set_blend(media::blend_mask);
    media::set_scale(2, 3);
    media::draw_image(pic, 10, 10, 0);
    EXPECT_EQ(pixel_at(10 + 3 * 2, 10 + 2 * 3), (rgb{43, 6, 90})) << "the lone pixel, stretched";
    EXPECT_EQ(pixel_at(10 + 3 * 2 + 1, 10 + 2 * 3 + 2), (rgb{43, 6, 90}));
    EXPECT_EQ(pixel_at(10 + 110 * 2, 10 + 50 * 3), (rgb{30, 30, 30})) << "the hole";
    EXPECT_EQ(pixel_at(10 + 149 * 2 + 1, 10 + 69 * 3 + 2), (rgb{189, 207, 90})) << "last corner";

    grey_backdrop();
    media::set_transform(90, 1, 1);  // texel (u, v) lands at (x - v - 1, y + u)
    media::draw_image(pic, 300, 100, 0);
    EXPECT_EQ(pixel_at(300 - 2 - 1, 100 + 3), (rgb{43, 6, 90})) << "the lone pixel, turned";

    media::flip(0);
    media::draw_image(pic, 300, 300, 0);
    media::set_rotation(45);
    media::draw_image(pic, 300, 300, 0);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 1) << "skipping clear cells adds no calls";
    EXPECT_EQ(pixel_at(300, 304), (rgb{43, 6, 90})) << "the lone pixel, turned 45 degrees";
}

TEST_F(cover_test, light_draws_in_one_batch_equal_separate_batches) {
    // Three passes of two eye copies, once in one batch and once a batch each.
    const auto eyes = [&](float x, float y) {
        media::set_color(140, 4, 10);
        media::draw_image(pic, x - 3, y, 0);
        media::set_color(4, 80, 60);
        media::draw_image(pic, x + 3, y, 0);
    };
    const media::image_ref other = test_support::solid_image(2, 2, 0, 0, 0);
    grey_backdrop();
    media::set_transform(12, 1.25f, 1);
    media::set_alpha(0.7f);
    media::set_blend(media::blend_light);
    for (int pass = 0; pass < 3; ++pass) eyes(100, 100);
    for (int pass = 0; pass < 3; ++pass) {
        eyes(100, 300);
        media::draw_image(other, 600, 0, 0);  // a new batch each pass: nothing to fold into
    }
    std::vector<std::uint8_t> batched, apart;
    media::backend::read_back_buffer(60, 60, 240, 140, batched);
    media::backend::read_back_buffer(60, 260, 240, 140, apart);
    EXPECT_TRUE(batched == apart) << "batching changed the picture";
    EXPECT_NE(pixel_at(135, 174), (rgb{30, 30, 30})) << "something was drawn";
}
