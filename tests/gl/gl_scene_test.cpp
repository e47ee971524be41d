// What a frame of the game looks like in stereo: the HUD, the player and the gifts stay flat,
// the landscape comes as tinted pairs.
#include <gtest/gtest.h>

#include "game/saved_files.h"
#include "game/screens.h"
#include "media/text.h"
#include "support/game_world.h"

using test_support::pixel_at;
using test_support::rgb;

class scene_test : public ::testing::Test {
  protected:
    void SetUp() override {
        test_support::make_game_world();
        font = media::load_image_font(GF_TEST_FONT, 26, media::font_smooth);
        media::set_image_font(font);
        for (auto& f : flakes) {  // out of the way, just off the left edge
            f->x = 700.0f;
            f->y = 200.0f;
            f->ystp = 0.0f;
        }
        draw3d->slc(140, 4, 40, 4, 100, 20);  // "M\G"
    }
    void TearDown() override {
        media::set_image_font(nullptr);
        reset_globals();
    }

    // Left and right edges of what the HUD drew between x0 and x1 in its top rows.
    std::pair<int, int> drawn_span(int x0, int x1) {
        std::vector<std::uint8_t> px;
        media::backend::read_back_buffer(0, 0, 640, 32, px);
        int lo = 640, hi = -1;
        for (int y = 0; y < 32; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (px[(y * 640 + x) * 4 + 1] > 40) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            }
        }
        return {lo, hi};
    }

    media::font_ref font;
};

TEST_F(scene_test, hud_is_flat_and_green_in_stereo) {
    mode_3d = 1;
    anaglyph_file(0);
    player->score = 120;
    media::clear_screen();
    hud();
    EXPECT_EQ(draw3d->mode, 1) << "restored";
    std::vector<std::uint8_t> px;
    media::backend::read_back_buffer(0, 0, 640, 32, px);
    int lit = 0, off_green = 0;
    for (std::size_t i = 0; i < px.size(); i += 4) {
        if (px[i + 1] == 0) continue;
        ++lit;
        // Only the green (20, 255, 80) at some coverage: no red or magenta eye copy.
        if (px[i] > px[i + 1] / 8 + 2 || px[i + 2] > px[i + 1] / 3 + 2) ++off_green;
    }
    EXPECT_GT(lit, 200);
    EXPECT_EQ(off_green, 0);
}

TEST_F(scene_test, best_caption_stays_centred_as_it_grows) {
    for (int best : {5, 12345, 987654321}) {
        player->best_sc = best;
        media::clear_screen();
        hud();
        const auto [lo, hi] = drawn_span(170, 470);
        EXPECT_NEAR((lo + hi) / 2.0, 320.0, 4.0) << "best " << best;
    }
    player->level = 7;
    media::clear_screen();
    hud();
    EXPECT_NEAR(drawn_span(470, 640).second, 626, 4) << "time caption ends at 626";
}

TEST_F(scene_test, player_and_gifts_flat_scenery_in_tinted_pairs) {
    mode_3d = 1;
    anaglyph_file(0);
    game_state = gs_play;
    round_phase = 1;
    scroll_spd = 0;
    player->x = 200.0f;
    player->y = 150.0f;
    player->frame = 0;
    for (auto& g : stuff) g->dead = 1;
    gstuff_tag& g = *stuff[0];
    g = gstuff_tag{};
    g.frame = 4;  // a bomb well ahead of the player, drawn but not touched
    g.x = 560.0f;
    g.y = 60.0f;
    media::clear_screen();
    round_play();
    EXPECT_EQ(pixel_at(200, 150), (rgb{200, 200, 200})) << "the player, once and flat";
    EXPECT_EQ(pixel_at(560, 55), (rgb{255, 255, 255}))
        << "the gift under its additive glow, flat: untinted white";
    // Mountains (60, 70, 90) and ground (200, 210, 220) each come as both eye tints added,
    // twice over.
    const rgb land = pixel_at(320, 470);
    const auto pairs = [](int mountain, int ground, int l, int r) {
        return std::min(255, 2 * (mountain + ground) * (l + r) / 255);
    };
    EXPECT_NEAR(land[0], pairs(60, 200, 140, 4), 4);
    EXPECT_NEAR(land[1], pairs(70, 210, 4, 100), 4);
    EXPECT_NEAR(land[2], pairs(90, 220, 40, 20), 4);
}
