// Images: the masking rule on load and grab, handles, placement under turn and scale,
// frames, collision, and images that outlive the display.
#include <gtest/gtest.h>

#include "gl_draw_pictures.h"
#include "media/collision.h"
#include "support/gl_screen.h"

using test_support::pixel_at;
using test_support::rgb;

namespace {

class image_test : public ::testing::Test {
  protected:
    void SetUp() override {
        test_support::open_test_screen();
        media::set_mask_color(0, 0, 0);
        media::auto_image_flags(media::img_masked);
        media::auto_mid_handle(0);
    }
    void TearDown() override {
        media::reset_draw_state();
        media::auto_image_flags(0);
    }
};

using rgba = std::array<int, 4>;

rgba texel(const media::image_ref& img, int x, int y, int frame = 0) {
    const auto& px = media::image_pixels(img, frame);
    const std::size_t at =
        (std::size_t(y) * std::size_t(media::image_width(img)) + std::size_t(x)) * 4;
    return {px[at], px[at + 1], px[at + 2], px[at + 3]};
}

// 3 x 3 RGB: a black centre and a black top-left corner in a ring of colours.
std::vector<std::uint8_t> ring_picture() {
    return {0,  0, 0, 30,  60,  90,  10, 20, 30,  //
            90, 0, 0, 0,   0,   0,   60, 60, 60,  //
            3,  6, 9, 255, 255, 255, 40, 0,  200};
}

}  // namespace

TEST_F(image_test, loading_masks_pictures_without_alpha) {
    const media::image_ref img = gl_pictures::load_picture(3, 3, 3, ring_picture());
    ASSERT_TRUE(img);
    // The centre's non-black neighbours: all but the black corner.
    const int n = 7;
    const rgba centre = {(30 + 10 + 90 + 60 + 3 + 255 + 40 + n / 2) / n,
                         (60 + 20 + 0 + 60 + 6 + 255 + 0 + n / 2) / n,
                         (90 + 30 + 0 + 60 + 9 + 255 + 200 + n / 2) / n, 0};
    EXPECT_EQ(texel(img, 1, 1), centre) << "neighbour average, transparent";
    EXPECT_EQ(texel(img, 0, 0), (rgba{60, 30, 45, 0})) << "corner: 2 neighbours, centre skipped";
    EXPECT_EQ(texel(img, 1, 0), (rgba{30, 60, 90, 255})) << "other pixels opaque, unchanged";

    const media::image_ref lone = gl_pictures::load_picture(1, 1, 3, {0, 0, 0});
    EXPECT_EQ(texel(lone, 0, 0), (rgba{0, 0, 0, 0})) << "no neighbours: black";

    media::auto_image_flags(0);
    const media::image_ref plain = gl_pictures::load_picture(3, 3, 3, ring_picture());
    EXPECT_EQ(texel(plain, 1, 1), (rgba{0, 0, 0, 255})) << "unmasked: all opaque";

    media::auto_image_flags(media::img_masked);
    const media::image_ref with_alpha =
        gl_pictures::load_picture(2, 1, 4, {0, 0, 0, 255, 50, 60, 70, 10});
    EXPECT_EQ(texel(with_alpha, 0, 0), (rgba{0, 0, 0, 255})) << "own alpha is kept";
    EXPECT_EQ(texel(with_alpha, 1, 0), (rgba{50, 60, 70, 10}));
}

TEST_F(image_test, bad_sources_give_no_image) {
    EXPECT_EQ(media::load_image("no/such/picture.png"), nullptr);
    static const std::uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    media::register_embedded_file("junk.png", junk, sizeof junk);
    EXPECT_EQ(media::load_image("junk.png"), nullptr);
    EXPECT_EQ(media::create_image(0, 5, 1), nullptr);
    media::draw_image(nullptr, 0, 0, 0);  // must not crash
}

TEST_F(image_test, grabbing_masks_and_the_mask_colour_is_taken_at_creation) {
    media::set_blend(media::blend_solid);
    media::set_color(100, 50, 20);
    media::draw_rect(10, 10, 2, 1);  // (10, 10), (11, 10) coloured; (10, 11), (11, 11) black
    const media::image_ref img = media::create_image(2, 2, 1);
    media::set_mask_color(100, 50, 20);  // too late for img
    media::grab_image(img, 10, 10, 0);
    EXPECT_EQ(texel(img, 0, 0), (rgba{100, 50, 20, 255}));
    EXPECT_EQ(texel(img, 0, 1), (rgba{100, 50, 20, 0})) << "black, coloured by its neighbours";

    // Drawn in mask mode, the transparent half leaves what is behind it.
    media::set_color(9, 9, 9);
    media::draw_rect(200, 200, 2, 2);
    media::set_blend(media::blend_mask);
    media::set_color(255, 255, 255);
    media::draw_image(img, 200, 200, 0);
    EXPECT_EQ(pixel_at(200, 200), (rgb{100, 50, 20}));
    EXPECT_EQ(pixel_at(200, 201), (rgb{9, 9, 9}));

    media::auto_image_flags(0);
    const media::image_ref plain = media::create_image(2, 2, 1);
    media::grab_image(plain, 10, 10, 0);
    EXPECT_EQ(texel(plain, 0, 1), (rgba{0, 0, 0, 255})) << "unmasked grabs are opaque";
    media::grab_image(plain, 639, 479, 0);
    EXPECT_EQ(texel(plain, 1, 1), (rgba{0, 0, 0, 255})) << "off-screen reads black";
}

TEST_F(image_test, mid_handles_centre_the_picture) {
    media::auto_mid_handle(1);
    const media::image_ref big = media::create_image(404, 82, 1);
    const media::image_ref odd = media::create_image(5, 3, 1);
    media::auto_mid_handle(0);
    EXPECT_EQ(media::image_handle_x(big), 202.0f);
    EXPECT_EQ(media::image_handle_y(big), 41.0f);
    EXPECT_EQ(media::image_handle_x(odd), 2.5f);
    EXPECT_EQ(media::image_handle_y(odd), 1.5f);
    EXPECT_EQ(media::image_handle_x(media::create_image(4, 4, 1)), 0.0f) << "switch is off again";

    // A 404 x 82 white picture drawn at (320, 240) covers x 118..521, y 199..280.
    const media::image_ref white = test_support::solid_image(404, 82, 255, 255, 255);
    media::mid_handle_image(white);
    media::set_blend(media::blend_mask);
    media::draw_image(white, 320, 240, 0);
    EXPECT_EQ(pixel_at(118, 199), (rgb{255, 255, 255}));
    EXPECT_EQ(pixel_at(521, 280), (rgb{255, 255, 255}));
    EXPECT_EQ(pixel_at(117, 240), (rgb{0, 0, 0}));
    EXPECT_EQ(pixel_at(522, 240), (rgb{0, 0, 0}));
    EXPECT_EQ(pixel_at(320, 198), (rgb{0, 0, 0}));
    EXPECT_EQ(pixel_at(320, 281), (rgb{0, 0, 0}));
}

TEST_F(image_test, turn_and_scale_work_about_the_handle) {
    // 4 x 2: a red texel at (3, 0), the rest green. Handle (2, 1).
    std::vector<std::uint8_t> px;
    for (int i = 0; i < 8; ++i)
        px.insert(px.end(), i == 3 ? std::initializer_list<std::uint8_t>{255, 0, 0}
                                   : std::initializer_list<std::uint8_t>{0, 255, 0});
    const media::image_ref img = gl_pictures::load_picture(4, 2, 3, px);
    media::mid_handle_image(img);
    media::set_blend(media::blend_mask);

    media::set_rotation(90);  // clockwise: texel (u, v) lands at (x - (v - 1), y + (u - 2))
    media::draw_image(img, 100, 100, 0);
    EXPECT_EQ(pixel_at(100, 101), (rgb{255, 0, 0})) << "texel (3, 0) turned";
    EXPECT_EQ(pixel_at(99, 98), (rgb{0, 255, 0}));
    EXPECT_EQ(pixel_at(101, 101), (rgb{0, 0, 0})) << "nothing beyond the turned frame";

    media::clear_screen();
    media::set_transform(0, 3, 2);
    media::draw_image(img, 100, 100, 0);
    // Texel (3, 0) covers x 100 + (3 - 2) * 3 .. + 3, y 100 - 2 .. 100.
    EXPECT_EQ(pixel_at(103, 98), (rgb{255, 0, 0}));
    EXPECT_EQ(pixel_at(105, 99), (rgb{255, 0, 0}));
    EXPECT_EQ(pixel_at(102, 99), (rgb{0, 255, 0}));
    EXPECT_EQ(pixel_at(94, 98), (rgb{0, 255, 0})) << "left edge at 100 - 2 * 3";
    EXPECT_EQ(pixel_at(93, 98), (rgb{0, 0, 0}));
    EXPECT_EQ(pixel_at(106, 99), (rgb{0, 0, 0}));
}

// A pixel centre exactly on a texel edge takes the texel before it, wherever the quad lies
// and whatever it spans, across and down, so two draws of a picture agree on every GL.
TEST_F(image_test, a_sample_on_a_texel_edge_takes_the_texel_before_it) {
    std::vector<std::uint8_t> px;  // 4 x 4, texel (i, j) is (40 + 50i, 40 + 50j, 99)
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            px.insert(px.end(), {std::uint8_t(40 + 50 * i), std::uint8_t(40 + 50 * j), 99});
    const media::image_ref img = gl_pictures::load_picture(4, 4, 3, px);
    media::set_blend(media::blend_mask);
    // Stretched 1.5 times, pixel k's centre is at texel (k + 0.5) / 1.5: on an edge for
    // k = 1 and 4.
    const int texel_of_pixel[6] = {0, 0, 1, 2, 2, 3};
    for (const auto& [x, y] : {std::pair{0, 0}, {201, 37}, {-3, 471}, {633, 240}}) {
        media::clear_screen();
        media::set_scale(1.5f, 1.5f);
        media::draw_image(img, float(x), float(y), 0);
        for (int k = 0; k < 6; ++k) {
            const int want = 40 + 50 * texel_of_pixel[k];
            if (x + k >= 0 && x + k < 640) {
                EXPECT_EQ(pixel_at(x + k, std::clamp(y, 0, 475))[0], want) << x << ", " << k;
            }
            if (y + k >= 0 && y + k < 480) {
                EXPECT_EQ(pixel_at(std::clamp(x, 0, 634), y + k)[1], want) << y << ", " << k;
            }
        }
    }
    // On a half pixel every centre is on an edge.
    media::clear_screen();
    media::set_scale(1, 1);
    media::draw_image(img, 10.5f, 20.5f, 0);
    EXPECT_EQ(pixel_at(12, 22), (rgb{90, 90, 99}));
    EXPECT_EQ(pixel_at(10, 20), (rgb{40, 40, 99})) << "the first column and row hold";
}

TEST_F(image_test, frames_draw_their_own_pixels) {
    // Three frames of 3 x 3 in three colours, cut from the back buffer like the sprite sheet.
    const media::image_ref img = media::create_image(3, 3, 3);
    const int colours[3][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}};
    media::set_blend(media::blend_solid);
    for (int f = 0; f < 3; ++f) {
        media::set_color(colours[f][0], colours[f][1], colours[f][2]);
        media::draw_rect(float(10 * f), 0, 3, 3);
        media::grab_image(img, 10 * f, 0, f);
    }
    media::clear_screen();
    media::set_color(255, 255, 255);
    media::set_blend(media::blend_mask);
    media::set_scale(4, 4);  // large enough to show any bleeding from the next frame
    media::draw_image(img, 100, 100, 1);
    for (int y : {100, 105, 111})
        for (int x : {100, 105, 111}) EXPECT_EQ(pixel_at(x, y), (rgb{0, 200, 0})) << x << "," << y;
    EXPECT_EQ(pixel_at(112, 112), (rgb{0, 0, 0}));
    // On a half pixel the top row's centres lie on the frame's edge: still its own texels.
    media::clear_screen();
    media::set_scale(1, 1);
    media::draw_image(img, 200.5f, 100.5f, 2);
    EXPECT_EQ(pixel_at(200, 100), (rgb{0, 0, 200}));
    EXPECT_EQ(pixel_at(202, 102), (rgb{0, 0, 200}));
}

TEST_F(image_test, collision_needs_a_solid_pixel_of_both_frames) {
    // 4 x 4 frames: `ring` is opaque with a clear 2 x 2 middle; `dot` is 2 x 2 opaque.
    std::vector<std::uint8_t> ring_px, dot_px(2 * 2 * 3, 250);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool hole = x >= 1 && x <= 2 && y >= 1 && y <= 2;
            const std::uint8_t c = hole ? 0 : 150;
            ring_px.insert(ring_px.end(), {c, c, c});
        }
    const media::image_ref ring = gl_pictures::load_picture(4, 4, 3, ring_px);
    const media::image_ref dot = gl_pictures::load_picture(2, 2, 3, dot_px);
    ASSERT_EQ(texel(ring, 1, 1)[3], 0);

    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, dot, 11, 11, 0), 0) << "dot in the hole";
    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, dot, 12, 12, 0), 1) << "overlaps the rim";
    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, dot, 14, 10, 0), 0) << "edges touch only";
    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, dot, 13, 10, 0), 1);
    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, nullptr, 10, 10, 0), 0);
    EXPECT_EQ(media::images_collide(ring, 10, 10, 0, dot, 10, 10, 5), 0) << "no such frame";

    // Both frames turn and stretch about their handles, here their centres.
    const media::image_ref bar =
        gl_pictures::load_picture(6, 2, 3, std::vector<std::uint8_t>(36, 90));
    const media::image_ref blob = gl_pictures::load_picture(2, 2, 3, dot_px);
    media::mid_handle_image(bar);   // covers 47..52 x 49..50 at (50, 50)
    media::mid_handle_image(blob);  // covers 49..50 x 52..53 at (50, 53)
    EXPECT_EQ(media::images_collide(bar, 50, 50, 0, blob, 50, 53, 0), 0) << "flat bar misses";
    media::set_rotation(90);
    EXPECT_EQ(media::images_collide(bar, 50, 50, 0, blob, 50, 53, 0), 1) << "turned bar hits";
    media::set_transform(0, 1, 6);
    EXPECT_EQ(media::images_collide(bar, 50, 50, 0, blob, 50, 60, 0), 1)
        << "stretched: bar 44..55, blob 54..65";
    media::set_scale(1, 1);
    EXPECT_EQ(media::images_collide(bar, 50, 50, 0, blob, 50, 60, 0), 0);
    media::set_scale(1, 0);
    EXPECT_EQ(media::images_collide(bar, 50, 50, 0, blob, 50, 50, 0), 0) << "squashed to nothing";
}

TEST_F(image_test, collision_agrees_with_drawing_under_a_turn) {
    // Wherever the drawn bar and the drawn dot share a lit pixel, collision must say so.
    const media::image_ref bar = test_support::solid_image(20, 3, 255, 255, 255);
    const media::image_ref dot = test_support::solid_image(1, 1, 255, 255, 255);
    media::mid_handle_image(bar);
    media::set_blend(media::blend_mask);
    media::set_rotation(33);
    media::draw_image(bar, 100, 100, 0);
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(80, 80, 40, 40, px);
    int disagreements = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool lit = px[(std::size_t(y) * 40 + std::size_t(x)) * 4] != 0;
            media::set_rotation(33);
            const int hit = media::images_collide(bar, 100, 100, 0, dot, 80 + x, 80 + y, 0);
            disagreements += (hit == 1) != lit;
        }
    EXPECT_EQ(disagreements, 0) << "pixels where collision and drawing differ";
}

TEST_F(image_test, images_survive_the_display_closing) {
    media::image_ref kept = test_support::solid_image(2, 2, 70, 80, 90);
    media::draw_image(kept, 0, 0, 0);  // has a texture now
    {
        media::image_ref dropped = test_support::solid_image(2, 2, 1, 2, 3);
        media::draw_image(dropped, 0, 0, 0);
        media::close_graphics();
    }  // released with no context: must not touch GL
    EXPECT_EQ(media::graphics_width(), 0);
    media::open_graphics(640, 480, 32, 60, 2);
    media::set_blend(media::blend_mask);
    media::draw_image(kept, 300, 300, 0);
    EXPECT_EQ(pixel_at(301, 301), (rgb{70, 80, 90})) << "uploaded again to the new context";
}
