// The game objects frame by frame: scenery wrap, bursts, gifts and hazards, player, snow.
#include <gtest/gtest.h>

#include "game/screens.h"
#include "media/input.h"
#include "support/game_world.h"

class objects_test : public ::testing::Test {
  protected:
    void SetUp() override { test_support::make_game_world(); }
    void TearDown() override { reset_globals(); }

    // Puts gift 0 alone in front of the player, every other gift far away and dead.
    gstuff_tag& lone_gift(int frame, float x, float y) {
        for (auto& g : stuff) g->dead = 1;
        gstuff_tag& g = *stuff[0];
        g = gstuff_tag{};
        g.frame = frame;
        g.x = x;
        g.y = y;
        player->x = 200.0f;
        player->y = 200.0f;
        player->a_ctr = 0;
        return g;
    }
};

TEST_F(objects_test, scenery_halves_wrap_to_plus_640_at_every_speed) {
    scroll_spd = -2;
    for (int i = 0; i < 319; ++i) scenery->update();
    EXPECT_EQ(scenery->grd1x, -638);
    scenery->update();
    EXPECT_EQ(scenery->grd1x, 640) << "wraps on reaching -640";
    EXPECT_EQ(scenery->grd2x, 0);
    EXPECT_EQ(scenery->bm1x, -320);

    sceenery_tag::reset();
    scroll_spd = -20;
    for (int i = 0; i < 31; ++i) scenery->update();
    EXPECT_EQ(scenery->grd1x, -620);
    scenery->update();
    EXPECT_EQ(scenery->grd1x, 640);
    for (int i = 32; i < 64; ++i) scenery->update();
    EXPECT_EQ(scenery->bm1x, 640) << "mountains wrap after 64 frames";

    sceenery_tag::reset();
    scroll_spd = 0;
    scenery->update();
    EXPECT_EQ(scenery->grd2x, 640) << "standing still";
}

TEST_F(objects_test, burst_is_drawn_51_times_and_leaves_during_the_walk) {
    star3d_tag::update_all();  // empty list: nothing happens
    star3d_tag::shoot_it(100, 100, 0);
    int updates = 0;
    while (!stars.empty() && updates < 100) {
        if (updates == 10) star3d_tag::shoot_it(200, 100, 2);
        star3d_tag::update_all();
        ++updates;
    }
    EXPECT_EQ(updates, 61) << "first burst gone after 51, second 10 later";
    star3d_tag::shoot_it(1, 1, 1);
    star3d_tag::shoot_it(2, 2, 1);
    star3d_tag::destroy_all();
    EXPECT_TRUE(stars.empty());
}

TEST_F(objects_test, burst_last_drawn_at_four_times_size_and_offset_thirty) {
    star3d_tag::shoot_it(100, 100, 1);
    auto burst = stars.front();
    for (int i = 0; i < 50; ++i) star3d_tag::update_all();
    ASSERT_EQ(stars.size(), 1u);
    EXPECT_NEAR(burst->sc, 4.0f, 1e-4);
    EXPECT_NEAR(burst->offs, 30.0f, 1e-3);
    EXPECT_GT(burst->al, 0.0f);
}

TEST_F(objects_test, layout_draws_y_then_kind_per_slot) {
    // Seed 777 lays out these first slots; a changed height range or kind draw moves them.
    media::seed_random(777);
    gstuff_tag::new_stuff(0);
    const std::pair<float, int> first[] = {
        {73.972f, 0}, {141.264f, 1}, {82.472f, 0}, {173.978f, 4}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(stuff[i]->y, first[i].first, 0.001f) << "slot " << i;
        EXPECT_EQ(stuff[i]->frame, first[i].second) << "slot " << i;
    }
    int presents = 0;
    for (int i = 0; i < 50; ++i) {
        const gstuff_tag& g = *stuff[i];
        EXPECT_FLOAT_EQ(g.x, 2200.0f + 600.0f * i);
        EXPECT_GE(g.y, 60.0f) << "slot " << i;
        EXPECT_LT(g.y, 260.0f) << "slot " << i;
        EXPECT_TRUE(g.frame == 0 || g.frame == 1 || g.frame == 4) << "slot " << i;
        presents += g.frame == 0;
        EXPECT_EQ(g.dead, 0);
    }
    EXPECT_EQ(presents, 20) << "this seed's round holds 20 presents";
    EXPECT_EQ(gifts_total, presents);
    EXPECT_EQ(gifts_got, 0);
}

TEST_F(objects_test, gifts_move_by_speed_and_animate_on_their_own_clock) {
    gstuff_tag& bomb = lone_gift(4, 1000.0f, 100.0f);
    bomb.m_tmr = 4;
    bomb.m_frm = 3;
    const std::pair<int, float> moves[] = {{-2, 3}, {-10, 6}, {-20, 9}, {0, 0}, {-5, 0}};
    for (auto [spd, dx] : moves) {
        scroll_spd = spd;
        const float before = bomb.x;
        bomb.update();
        EXPECT_FLOAT_EQ(before - bomb.x, dx) << "at speed " << spd;
    }
    // Five updates so far: the first frame offset change happened on the 5th.
    EXPECT_EQ(bomb.f_ctr, 1);
    for (int i = 0; i < 5 * 3; ++i) bomb.update();
    EXPECT_EQ(bomb.f_ctr, 0) << "wraps after frame 7";
}

TEST_F(objects_test, gift_finishes_only_past_minus_56) {
    gstuff_tag& g = lone_gift(0, -53.0f, 100.0f);
    scroll_spd = -2;
    g.update();
    EXPECT_FLOAT_EQ(g.x, -56.0f);
    EXPECT_EQ(g.dead, 0) << "-56 is not past";
    g.update();
    EXPECT_EQ(g.dead, 1);
    EXPECT_EQ(stuff_done, 1);
    EXPECT_TRUE(take_started_effects().empty()) << "a passed gift is silent";
}

TEST_F(objects_test, present_is_caught_even_behind_the_player) {
    player->score = 0;
    player->level = 30;
    gstuff_tag& g = lone_gift(0, 150.0f, 200.0f);  // centre behind the player's
    scroll_spd = 0;
    g.update();
    EXPECT_EQ(g.dead, 1);
    EXPECT_EQ(player->score, 100);
    EXPECT_EQ(player->level, 32);
    EXPECT_EQ(gifts_got, 1);
    EXPECT_EQ(stars.size(), 1u);
    EXPECT_EQ(take_started_effects().size(), 0u) << "no sound loaded in this world";
}

TEST_F(objects_test, warper_and_bomb_act_only_ahead_of_the_player) {
    for (int frame : {1, 4}) {
        gstuff_tag& g = lone_gift(frame, 200.0f, 200.0f);
        scroll_spd = 0;
        g.update();
        EXPECT_EQ(g.dead, 0) << "centre level with the player, kind " << frame;
    }
    player->score = 60;
    player->level = 5;
    player->a_tmr = 99;
    gstuff_tag& bomb = lone_gift(4, 230.0f, 200.0f);
    scroll_spd = -2;
    bomb.update();
    EXPECT_EQ(bomb.dead, 1);
    EXPECT_EQ(player->score, 0) << "never below 0";
    EXPECT_EQ(player->level, -5) << "the clock may go below 0 until its next tick";
    EXPECT_EQ(player->a_tmr, 0);
    EXPECT_EQ(scroll_spd, 0);

    scenery->grd1x = 100;
    spd_ctr = 33;
    gstuff_tag& warper = lone_gift(1, 230.0f, 200.0f);
    scroll_spd = -2;
    warper.update();
    EXPECT_EQ(scroll_spd, -20);
    EXPECT_EQ(spd_ctr, 0);
    EXPECT_EQ(scenery->grd1x, 0) << "scenery reset with the boost";
    EXPECT_EQ(player->score, 50);
}

TEST_F(objects_test, player_steps_by_speed_and_stays_in_its_lane) {
    auto& p = test_support::install_test_platform();
    media::reset_input();
    const std::pair<int, float> steps[] = {{-20, -10}, {-10, -5}, {-2, -4}};
    for (auto [spd, dy] : steps) {
        scroll_spd = spd;
        player->frame = 0;
        player->y = 200.0f;
        p.push(media::platform_event::key_down, 38);
        player->get_inputs();
        EXPECT_FLOAT_EQ(player->y - 200.0f, dy) << "at speed " << spd;
        p.push(media::platform_event::key_down, 40);
        player->get_inputs();
        EXPECT_FLOAT_EQ(player->y - 200.0f, dy) << "up and down cancel";
        p.push(media::platform_event::key_up, 38);
        p.push(media::platform_event::key_up, 40);
        media::pump_events();
    }
    player->y = 62.0f;
    p.push(media::platform_event::joy_axis, 1, 0, 0, -0.99f);
    player->get_inputs();
    EXPECT_FLOAT_EQ(player->y, 62.0f) << "a stick short of full push does not steer";
    p.push(media::platform_event::joy_axis, 1, 0, 0, -1.0f);
    player->get_inputs();
    EXPECT_FLOAT_EQ(player->y, 60.0f) << "clamped at the top";
    p.push(media::platform_event::joy_axis, 1, 0, 0, 0.0f);
    player->y = 300.0f;
    player->get_inputs();
    EXPECT_FLOAT_EQ(player->y, 260.0f);
}

TEST_F(objects_test, stun_lasts_126_frames_and_tilt_relaxes_without_overshoot) {
    scroll_spd = 0;
    player->a_tmr = 0;
    int frames = 0;
    while (scroll_spd == 0 && frames < 1000) {
        player->update();
        ++frames;
    }
    EXPECT_EQ(frames, 126);
    EXPECT_EQ(scroll_spd, -2);

    player->rotation = 0.5f;
    player->update();
    EXPECT_FLOAT_EQ(player->rotation, 0.0f);
    player->rotation = -3.0f;
    player->update();
    EXPECT_FLOAT_EQ(player->rotation, -2.0f);
}

TEST_F(objects_test, snow_wraps_at_the_strict_edges_and_drifts_only_in_play) {
    snow_tag& f = *flakes[0];
    f.sc = 1.0f;
    f.ystp = 4.0f;
    f.y = 100.0f;
    game_state = gs_title;
    scroll_spd = -20;
    f.x = 300.0f;
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, 300.0f) << "falls straight down off the round";
    game_state = gs_play;
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, 280.0f);
    scroll_spd = 0;
    f.x = -10.0f;
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, -10.0f);
    f.x = -10.5f;
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, 650.0f);
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, 650.0f);
    f.x = 650.5f;
    f.snowing();
    EXPECT_FLOAT_EQ(f.x, -10.0f);

    f.y = 476.0f;
    f.snowing();
    EXPECT_FLOAT_EQ(f.y, 480.0f) << "not yet recycled at 480";
    f.snowing();
    EXPECT_FLOAT_EQ(f.y, -10.0f);
    game_state = gs_start;
}

TEST(hud_caption, pads_to_two_digits_with_the_sign_first) {
    EXPECT_EQ(hud_caption("Score: ", 0), "Score: 00");
    EXPECT_EQ(hud_caption("Score: ", 7), "Score: 07");
    EXPECT_EQ(hud_caption("Score: ", 10), "Score: 10");
    EXPECT_EQ(hud_caption("Score: ", 12345), "Score: 12345");
    EXPECT_EQ(hud_caption("Time: ", -5), "Time: -05");
    EXPECT_EQ(hud_caption("Best: ", -1234), "Best: -1234");
}
