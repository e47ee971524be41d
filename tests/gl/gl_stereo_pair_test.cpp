// Stereo pairs against what they stand for: per pass, one light draw of each eye copy,
// on the game's own pictures and font, over an uneven backdrop that saturates in places.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "game/globals.h"
#include "media/assets.h"
#include "media/files.h"
#include "media/stereo_pair.h"
#include "support/game_pictures.h"
#include "support/gl_screen.h"
#include "support/temp_dir.h"

namespace {

using media::tint;

struct pose {
    float rot = 0, sx = 1, sy = 1, alpha = 1;
};

// What the separate draws changed, and how far the pair strays from them.
struct difference {
    int max = 0, over_one = 0, lit = 0;
};

std::vector<std::uint8_t> screen() {
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(0, 0, 640, 480, px);
    return px;
}

class stereo_pair_test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static test_support::temp_dir no_sounds;
        test_support::load_game_pictures(no_sounds);
    }
    static void TearDownTestSuite() { reset_assets(); }

    void SetUp() override {
        test_support::open_test_screen();
        backdrop();
        before = screen();
    }

    // The background flat and faded, as the game draws it without stereo.
    static void backdrop() {
        media::clear_screen();
        media::set_color(255, 255, 255);
        media::set_transform(0, 1, 1);
        media::set_alpha(0.6f);
        media::set_blend(media::blend_alpha);
        media::draw_image(img_back, 0, 0, 0);
    }

    // `copy(dx)` draws one copy shifted by dx; `pair()` draws both at once.
    difference compare(const std::function<void(float)>& copy, const std::function<void()>& pair,
                       tint l, tint r, float offs, int passes, pose p) {
        backdrop();
        media::set_alpha(p.alpha);
        media::set_transform(p.rot, p.sx, p.sy);
        for (int pass = 0; pass < passes; ++pass) {
            media::set_blend(media::blend_light);
            media::set_color(l.r, l.g, l.b);
            copy(-offs);
            media::set_color(r.r, r.g, r.b);
            copy(offs);
        }
        const std::vector<std::uint8_t> want = screen();

        backdrop();
        media::set_alpha(p.alpha);
        media::set_transform(p.rot, p.sx, p.sy);
        media::set_blend(media::blend_mask);  // neither the blend nor the colour counts
        media::set_color(9, 9, 9);
        pair();
        EXPECT_EQ(media::current_draw_state().blend, media::blend_mask) << "state left alone";
        EXPECT_EQ(media::current_draw_state().r, 9);
        const std::vector<std::uint8_t> got = screen();

        difference d;
        for (std::size_t i = 0; i < want.size(); i += 4) {
            int worst = 0;
            bool lit = false;
            for (std::size_t c = i; c < i + 3; ++c) {
                worst = std::max(worst, std::abs(int(want[c]) - int(got[c])));
                lit = lit || want[c] != before[c];
            }
            d.max = std::max(d.max, worst);
            d.over_one += worst > 1;
            d.lit += lit;
        }
        return d;
    }

    difference image_pair(const media::image_ref& img, float x, float y, int frame, tint l, tint r,
                          float offs, int passes, pose p = {}) {
        return compare([&](float dx) { media::draw_image(img, x + dx, y, frame); },
                       [&] { media::draw_image_pair(img, x, y, frame, l, r, offs, passes); }, l, r,
                       offs, passes, p);
    }

    difference text_pair(const std::string& text, float x, float y, tint l, tint r, float offs,
                         pose p = {}) {
        return compare([&](float dx) { media::draw_text(text, x + dx, y); },
                       [&] { media::draw_text_pair(text, x, y, l, r, offs, 2); }, l, r, offs, 2, p);
    }

    static std::array<tint, 2> eyes(int pair) {
        qbdraw_tag d;
        d.use_pair(pair);
        return {tint{d.leye_r, d.leye_g, d.leye_b}, tint{d.reye_r, d.reye_g, d.reye_b}};
    }

    std::vector<std::uint8_t> before;
};

::testing::AssertionResult exact(const difference& d) {
    if (d.lit == 0) return ::testing::AssertionFailure() << "nothing was drawn";
    if (d.max <= 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected every channel within 1, got " << d.over_one
                                         << " of " << d.lit << " pixels off, by up to " << d.max;
}

}  // namespace

TEST_F(stereo_pair_test, every_upright_stereo_picture_matches_its_separate_draws) {
    for (int pair = 1; pair <= 4; ++pair) {
        const auto [l, r] = eyes(pair);
        SCOPED_TRACE("colour pair " + std::to_string(pair));
        EXPECT_TRUE(exact(image_pair(img_back, 0, 0, 0, l, r, -8, 2))) << "background";
        for (int x : {0, -137, -640 + 211}) {
            // Stretched 1.5 times, every third row's samples lie on texel edges.
            const pose tall{0, 1, 1.5f, 1};
            EXPECT_TRUE(exact(image_pair(img_mts1, float(x), 100, 0, l, r, -4, 2, tall)))
                << "mountains at " << x;
            EXPECT_TRUE(exact(image_pair(img_mts2, float(x + 640), 100, 0, l, r, -4, 2, tall)));
            EXPECT_TRUE(exact(image_pair(img_grd1, float(x), 280, 0, l, r, 2, 2))) << "ground";
        }
        EXPECT_TRUE(exact(image_pair(img_title, 320, 120, 0, l, r, 4, 2))) << "title, half pixel";
        EXPECT_TRUE(exact(image_pair(img_pointer, 301, 244, 0, l, r, 4, 2))) << "pointer";
        const float sizes[4] = {1.0f, 0.8f, 0.4f, 0.2f}, depths[4] = {8, 2, -4, -8};
        for (int i = 0; i < 12; ++i) {
            const float sc = sizes[i % 4];
            EXPECT_TRUE(
                exact(image_pair(img_flake, 7.3f + 51.7f * float(i), 13.9f + 37.1f * float(i), 0, l,
                                 r, depths[i % 4], 2, {0, sc, sc, 1})))
                << "flake " << i;
        }
        EXPECT_TRUE(exact(
            image_pair(img_star, 200, 300, (pair - 1) % 3, l, r, 6, 2, {0, 1.6f, 1.6f, 0.5f})))
            << "star burst square to the screen";
    }
}

TEST_F(stereo_pair_test, turned_and_stretched_pairs_match_their_separate_draws) {
    const auto [l, r] = eyes(3);
    // A burst's life: it turns with the glows, grows, fades and moves apart.
    for (int age = 0; age < 50; age += 7) {
        const float sc = 1.0f + 0.06f * float(age), al = 1.0f - 0.02f * float(age);
        const pose p{float((40 + 2 * age) % 360), sc, sc, al};
        EXPECT_TRUE(exact(image_pair(img_star, 330, 250, age % 3, l, r, 0.6f * float(age), 2, p)))
            << "burst aged " << age;
    }
    for (float rot : {90.0f, 180.0f, 270.0f, -33.0f, 1.0f})
        EXPECT_TRUE(exact(image_pair(img_title, 320, 200, 0, l, r, 4, 2, {rot, 0.7f, 1.3f, 1})))
            << "title turned " << rot;
    EXPECT_TRUE(exact(image_pair(img_pointer, 100.5f, 80.25f, 0, l, r, 3, 2, {90, 2, 3, 1})))
        << "a quarter turn is square to the screen";
    EXPECT_TRUE(exact(image_pair(img_pointer, 17.5f, 50.5f, 0, l, r, 1.25f, 3, {0, -2, 1, 1})))
        << "mirrored on half pixels, three passes";
}

TEST_F(stereo_pair_test, captions_match_their_separate_draws) {
    media::set_image_font(game_font);
    for (int pair = 1; pair <= 4; ++pair) {
        const auto [l, r] = eyes(pair);
        SCOPED_TRACE("colour pair " + std::to_string(pair));
        EXPECT_TRUE(exact(text_pair("Ready, Set, Lets Go!", 131.5f, 85, l, r, 4, {0, 2, 2, 1})));
        EXPECT_TRUE(exact(text_pair("Sound Volume: 7", 212.25f, 250, l, r, 3, {0, 1.5f, 1.5f, 1})));
        EXPECT_TRUE(exact(text_pair("Start Game", 260, 210, l, r, 2)));
    }
    // A face without smoothing samples nearest, and on half pixels every texel edge.
    const media::font_ref sharp = media::load_image_font(GF_TEST_FONT, 20, 0);
    ASSERT_TRUE(sharp);
    media::set_image_font(sharp);
    const auto [l, r] = eyes(2);
    EXPECT_TRUE(exact(text_pair("Tally: 5000", 40.5f, 300.5f, l, r, 2.5f)));
    EXPECT_TRUE(exact(text_pair("Tally: 5000", 40, 300, l, r, 1, {0, 1.5f, 1.5f, 0.8f})));
    media::set_image_font(game_font);
}

TEST_F(stereo_pair_test, edge_cases_add_what_the_draws_would) {
    const auto [l, r] = eyes(1);
    EXPECT_TRUE(exact(image_pair(img_pointer, 300, 200, 0, l, r, 0, 2))) << "copies on one spot";
    EXPECT_TRUE(exact(image_pair(img_pointer, 300, 200, 0, l, r, -90, 1))) << "apart, swapped";
    EXPECT_TRUE(exact(image_pair(img_back, 0, 0, 0, l, r, 8, 40))) << "passes saturate";
    EXPECT_TRUE(exact(image_pair(img_grd2, -600, 400, 0, l, r, 30, 2))) << "mostly off screen";
    // Edges a hair off pixel centres: the renderer's 1/16-pixel grid puts them on them.
    EXPECT_TRUE(exact(image_pair(img_pointer, 300.5015f, 200.4985f, 0, l, r, 2, 2)));
    EXPECT_TRUE(exact(image_pair(img_pointer, 300.4985f, 200.5015f, 0, l, r, 2, 2)));
    EXPECT_TRUE(exact(image_pair(img_back, 0, 0, 0, {300, -5, 99}, {0, 0, 0}, 8, 2)))
        << "tints clamped as set_color clamps them";

    const auto untouched = [&](const std::function<void()>& draw) {
        backdrop();
        draw();
        return screen() == before;
    };
    EXPECT_TRUE(untouched([&] { media::draw_image_pair(img_back, 0, 0, 0, l, r, 8, 0); }))
        << "no pass";
    EXPECT_TRUE(untouched([&] { media::draw_image_pair(img_star, 0, 0, 3, l, r, 8, 2); }))
        << "no such frame";
    EXPECT_TRUE(untouched([&] { media::draw_image_pair(nullptr, 0, 0, 0, l, r, 8, 2); }));
    EXPECT_TRUE(untouched([&] {
        media::set_scale(0, 1);
        media::draw_image_pair(img_back, 0, 0, 0, l, r, 8, 2);
        media::set_scale(1, 1);
    })) << "squeezed flat";
    EXPECT_TRUE(untouched([&] { media::draw_text_pair("", 0, 0, l, r, 8, 2); }));
}

TEST_F(stereo_pair_test, pairs_of_one_picture_are_one_draw_call) {
    const auto [l, r] = eyes(4);
    media::flip(0);
    media::set_transform(0, 0.4f, 0.4f);
    for (int i = 0; i < 100; ++i)
        media::draw_image_pair(img_flake, float(i * 6), float(i * 4), 0, l, r, 4, 2);
    media::set_transform(0, 1, 1.5f);
    media::draw_image_pair(img_mts1, 0, 100, 0, l, r, -4, 2);  // another texture
    media::flip(0);
    EXPECT_EQ(media::draw_calls_last_frame(), 2);
    media::set_transform(0, 1, 1);
}

TEST_F(stereo_pair_test, pairs_that_come_back_are_kept_and_stay_exact) {
    const auto [l, r] = eyes(2);
    // The scenery scrolls by whole pixels: from its second frame on it is added from a
    // picture kept of it.
    for (int x = 0; x > -5; --x) {
        media::flip(0);
        EXPECT_TRUE(exact(image_pair(img_mts1, float(x), 100, 0, l, r, -4, 2, {0, 1, 1.5f, 1})))
            << "mountains at " << x;
        EXPECT_TRUE(exact(image_pair(img_back, float(x) / 2, 0, 0, l, r, -8, 2)))
            << "background at " << float(x) / 2 << ", in two phases";
    }
    media::flip(0);
    const auto calls = [&](float x) {
        media::draw_image_pair(img_grd2, x, 283, 0, l, r, 5, 2);
        media::flip(0);
        return media::draw_calls_last_frame();
    };
    EXPECT_EQ(calls(10), 1) << "seen once: drawn as it comes";
    EXPECT_EQ(calls(11), 2) << "seen again: kept, then added";
    EXPECT_EQ(calls(12), 1) << "kept";

    // A picture that changes is kept anew.
    const media::image_ref shot = media::create_image(256, 200, 1);
    backdrop();
    media::grab_image(shot, 0, 0, 0);
    for (int x = 100; x < 103; ++x) {
        media::flip(0);
        EXPECT_TRUE(exact(image_pair(shot, float(x), 50, 0, l, r, 6, 2)));
    }
    backdrop();
    media::grab_image(shot, 300, 250, 0);
    EXPECT_TRUE(exact(image_pair(shot, 104, 50, 0, l, r, 6, 2))) << "the picture was grabbed again";
}
