// Text: measuring and placing captions with a real TrueType face.
#include <gtest/gtest.h>

#include "media/backend/decoders/glyph_raster.h"
#include "media/embedded.h"
#include "media/text.h"
#include "support/gl_screen.h"

void register_game_assets();

namespace {

struct box {
    int x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;  // lit pixels, inclusive
    int w() const { return x1 - x0 + 1; }
    int h() const { return y1 - y0 + 1; }
};

box lit_box() {
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(0, 0, 640, 480, px);
    box b;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (px[(std::size_t(y) * 640 + std::size_t(x)) * 4] > 100) {
                b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
                b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
            }
    return b;
}

class text_test : public ::testing::Test {
  protected:
    media::font_ref font;
    void SetUp() override {
        test_support::open_test_screen();
        font = media::load_image_font(GF_TEST_FONT, 26, media::font_smooth);
        ASSERT_TRUE(font) << "test font " << GF_TEST_FONT;
        media::set_image_font(font);
        media::set_blend(media::blend_light);
    }
    void TearDown() override { media::set_image_font(nullptr); }
};

}  // namespace

TEST(text_without_font, measures_zero_and_draws_nothing) {
    test_support::open_test_screen();
    media::set_image_font(nullptr);
    EXPECT_EQ(media::text_width("Hello"), 0);
    EXPECT_EQ(media::text_height(), 0);
    media::flip(0);
    media::set_blend(media::blend_light);
    media::draw_text("Hello", 100, 100);
    EXPECT_EQ(lit_box().x1, -1) << "nothing lit";
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 0);
}

TEST_F(text_test, width_adds_whole_pixels_per_character) {
    EXPECT_EQ(media::text_width(""), 0);
    const int w = media::text_width("W");
    EXPECT_GT(w, 10);
    EXPECT_LT(w, 40);
    // Truncating after each character: four of them are exactly four times one.
    EXPECT_EQ(media::text_width("WWWW"), 4 * w);
    EXPECT_EQ(media::text_width("Ready"), media::text_width("Re") + media::text_width("ady"));
    EXPECT_EQ(media::text_width("A\xF4\x8F\xBF\xBD"
                                "B"),
              media::text_width("AB"))
        << "a character without a glyph is skipped";
}

TEST_F(text_test, height_is_the_line_height_for_every_text) {
    const int h = media::text_height();
    EXPECT_GE(h, 26);
    EXPECT_LE(h, 36);
    media::set_scale(3, 3);
    EXPECT_EQ(media::text_height(), h) << "unscaled";
    media::set_image_font(media::load_image_font(GF_TEST_FONT, 13, 0));
    EXPECT_LT(media::text_height(), h) << "a smaller face, a smaller line";
}

TEST_F(text_test, the_pen_starts_on_the_line_top_and_text_turns_about_it) {
    media::draw_text("HHHH", 100, 100);
    const box flat = lit_box();
    const int h = media::text_height();
    EXPECT_GT(flat.y0, 100) << "capitals start below the ascender line";
    EXPECT_LE(flat.y1, 100 + h);
    EXPECT_GE(flat.x0, 100);
    EXPECT_LT(flat.x0, 106);
    EXPECT_NEAR(flat.x1 + 1, 100 + media::text_width("HHHH"), 4);

    media::clear_screen();
    media::set_scale(2, 2);
    media::draw_text("HHHH", 100, 100);
    const box big = lit_box();
    EXPECT_NEAR(big.w(), 2 * flat.w(), 3);
    EXPECT_NEAR(big.h(), 2 * flat.h(), 3);
    EXPECT_NEAR(big.y0 - 100, 2 * (flat.y0 - 100), 2) << "scaled about the line top";

    media::clear_screen();
    media::set_transform(90, 1, 1);  // clockwise: the text runs down, its top to the right
    media::draw_text("HHHH", 300, 100);
    const box turned = lit_box();
    EXPECT_NEAR(turned.h(), flat.w(), 2);
    EXPECT_NEAR(turned.w(), flat.h(), 2);
    EXPECT_LT(turned.x1, 300) << "the line's top edge is at x = 300";
    EXPECT_GE(turned.y0, 100);
}

TEST_F(text_test, a_caption_is_one_draw_call) {
    media::flip(0);
    media::draw_text("Ready, Set, Lets Go!", 10, 10);
    media::draw_text("Score 12345", 10, 50);
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 1);
}

TEST_F(text_test, missing_or_bad_faces_give_no_font) {
    EXPECT_EQ(media::load_image_font("no/such/font.ttf", 26, 4), nullptr);
    EXPECT_EQ(media::load_image_font(GF_TEST_FONT, 0, 4), nullptr);
    static const std::uint8_t junk[] = {0, 1, 0, 0, 9, 9, 9, 9};
    media::register_embedded_file("junk.ttf", junk, sizeof junk);
    EXPECT_EQ(media::load_image_font("junk.ttf", 26, 4), nullptr);
}

TEST(game_face, every_stroke_is_two_rows_so_scan_lines_cannot_swallow_it) {
    // The retro scan lines blank every other row. A hairline one row thick, with nothing
    // above or below it, vanishes under them: "Off" read "Ojj", "Retro" read "Netro".
    register_game_assets();
    const auto bytes = media::embedded_file("font.ttf");
    ASSERT_FALSE(bytes.empty());
    auto face = media::backend::glyph_raster::open({bytes.begin(), bytes.end()}, 26);
    ASSERT_TRUE(face);
    for (char32_t ch = 33; ch < 127; ++ch) {
        media::backend::glyph_bitmap g;
        ASSERT_TRUE(face->render(ch, g)) << char(ch);
        auto at = [&](int x, int y) {
            return x < 0 || y < 0 || x >= g.width || y >= g.height
                       ? 0
                       : int(g.coverage[std::size_t(y * g.width + x)]);
        };
        int hairline = 0;  // solid ink with next to none above or below
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                hairline += at(x, y) >= 160 && at(x, y - 1) < 64 && at(x, y + 1) < 64;
        // A stroke may end in one such pixel; a bar is made of several.
        EXPECT_LE(hairline, 1) << "'" << char(ch) << "' has strokes one row thin";
    }
}

TEST(game_face, longest_tally_lines_fit_the_screen_with_their_eye_copies) {
    test_support::open_test_screen();
    register_game_assets();
    auto font = media::load_image_font("font.ttf", 26, media::font_smooth);
    ASSERT_TRUE(font);
    media::set_image_font(font);
    media::set_blend(media::blend_light);
    struct line {
        const char* text;
        float scale;
    };
    const line lines[] = {{"You Collected 49 Out Of 50 Missing Presents", 1.2f},
                          {"You Got The High Score This Game!", 1.2f},
                          {"Presents Recovered Bonus: +4900 Pts", 1.0f},
                          {"Final Score: 1234567", 2.0f}};
    for (const line& l : lines) {
        media::clear_screen();
        media::set_scale(l.scale, l.scale);
        const float w = float(media::text_width(l.text)) * l.scale;
        media::draw_text(l.text, 320 - w / 2, 200);
        const box b = lit_box();
        // The stereo copies stand 4 pixels to either side.
        EXPECT_GE(b.x0, 4) << l.text;
        EXPECT_LE(b.x1, 635) << l.text;
    }
    media::set_scale(1, 1);
    media::set_image_font(nullptr);
}
