// Round play's rules on a made-up world: hand-overs, bonuses, the clock, quiet last gifts.
#include <gtest/gtest.h>

#include "game/screens.h"
#include "media/files.h"
#include "media/input.h"
#include "support/game_world.h"
#include "support/temp_dir.h"

class round_test : public ::testing::Test {
  protected:
    test_support::temp_dir dir;

    void SetUp() override {
        test_support::make_game_world();
        std::filesystem::create_directories(dir / "Data");
        for (const char* name : {"Present.ogg", "LogoHit.ogg"}) {
            std::filesystem::copy_file(std::filesystem::path(GF_BUILD_DIR) / "Data" / name,
                                       dir / (std::string("Data/") + name));
        }
        media::set_game_dir(dir.path().string());
        snd_present = media::load_sound("Data\\Present.ogg", 0);
        snd_logohit = media::load_sound("Data\\LogoHit.ogg", 0);
        player_tag::reset(1);
        game_state = gs_play;
    }
    void TearDown() override { reset_globals(); }

    void fly_out_from(int got, int total, int seconds) {
        round_phase = 2;
        player->x = 840.0f;
        player->score = 0;
        player->level = seconds;
        gifts_got = got;
        gifts_total = total;
        round_play();
    }
};

TEST_F(round_test, completed_round_adds_its_bonuses_once) {
    fly_out_from(7, 9, 12);
    EXPECT_EQ(game_state, gs_tally);
    EXPECT_EQ(tally_won, 1);
    EXPECT_EQ(player->score, 1000 + 700 + 1200);
    EXPECT_EQ(take_started_music(), std::vector<int>{3});

    game_state = gs_play;
    fly_out_from(9, 9, 12);
    EXPECT_EQ(player->score, 1000 + 5000 + 1200);
    EXPECT_EQ(player->best_sc, 7200) << "the best follows the bonuses";
    EXPECT_EQ(player->new_bs, 1);
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (std::vector<unsigned char>{0x20, 0x1C, 0, 0}))
        << "a new best is saved as the round ends";
}

TEST_F(round_test, tally_ignores_early_fire_and_leaves_by_itself_at_6000) {
    auto& p = test_support::install_test_platform();
    media::reset_input();
    game_state = gs_tally;
    tally_won = 0;
    tally_tmr = 0;
    for (int i = 0; i < 250; ++i) {
        if (i == 100) p.push(media::platform_event::mouse_down, 1);
        if (i == 101) p.push(media::platform_event::mouse_up, 1);
        tally();
    }
    tally();
    EXPECT_EQ(tally_tmr, 251);
    EXPECT_EQ(game_state, gs_tally) << "an early click does not carry over";

    tally_tmr = 5998;
    take_started_effects();
    tally();
    EXPECT_EQ(game_state, gs_tally);
    tally();
    EXPECT_EQ(game_state, gs_title);
    EXPECT_EQ(scroll_spd, 0);
    EXPECT_EQ(take_started_music(), std::vector<int>{1});
    EXPECT_EQ(take_started_effects(), std::vector<std::string>{"LogoHit"});
}

TEST_F(round_test, fire_after_the_prompt_leaves_at_once) {
    auto& p = test_support::install_test_platform();
    media::reset_input();
    game_state = gs_tally;
    tally_tmr = 300;
    p.push(media::platform_event::key_down, 162);
    tally();
    EXPECT_EQ(game_state, gs_title);
    EXPECT_EQ(tally_tmr, 6000);
}

TEST_F(round_test, time_up_hands_over_with_no_bonus) {
    round_phase = 1;
    scroll_spd = -2;
    player->level = 1;
    player->lives = 58;
    player->score = 400;
    round_play();
    EXPECT_EQ(game_state, gs_play);
    round_play();
    EXPECT_EQ(game_state, gs_tally);
    EXPECT_EQ(tally_won, 0);
    EXPECT_EQ(scroll_spd, 0);
    EXPECT_EQ(player->level, 0);
    EXPECT_EQ(player->score, 400);
}

TEST_F(round_test, clock_below_zero_waits_for_the_next_tick_and_level_is_capped) {
    round_phase = 1;
    scroll_spd = -2;
    player->level = -5;  // a bomb took the last seconds
    player->lives = 10;
    for (int i = 0; i < 49; ++i) round_play();
    EXPECT_EQ(game_state, gs_play) << "not before the tick";
    round_play();
    EXPECT_EQ(game_state, gs_tally);
    EXPECT_EQ(player->level, 0);

    game_state = gs_play;
    player->level = 75;
    player->lives = 0;
    round_play();
    EXPECT_EQ(player->level, 60);
}

TEST_F(round_test, fly_out_starts_when_the_presents_are_in_but_not_while_stunned) {
    round_phase = 1;
    scroll_spd = 0;
    gifts_got = gifts_total;
    round_play();
    EXPECT_EQ(round_phase, 1) << "stunned";
    scroll_spd = -2;
    round_play();
    EXPECT_EQ(round_phase, 2);
    EXPECT_EQ(scroll_spd, -20);

    round_phase = 1;
    scroll_spd = -2;
    gifts_got = 0;
    gifts_total = 5;
    stuff_done = 50;
    round_play();
    EXPECT_EQ(round_phase, 2) << "all 50 finished";
}

TEST_F(round_test, the_49th_and_50th_finished_gifts_are_silent) {
    ASSERT_TRUE(snd_present) << "needs the built sounds";
    for (auto& g : stuff) g->dead = 1;
    player->x = 200.0f;
    player->y = 200.0f;
    take_started_effects();
    for (int done : {47, 48, 49}) {
        gstuff_tag& g = *stuff[0];
        g = gstuff_tag{};
        g.x = 200.0f;
        g.y = 200.0f;
        stuff_done = done;
        scroll_spd = 0;
        g.update();
        EXPECT_EQ(take_started_effects().size(), done < 48 ? 1u : 0u)
            << "finishing gift number " << done + 1;
    }
}
