// A round through the runner: fly-in, speed steps, clock, pause, the menus' options.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/runner.h"

using test_support::run_replay;
using test_support::trace_frame;

namespace {

// Space skips the intro on frame 1; the title's pointer starts on "Start Game", and the
// click is seen by the title pass of frame 3, so the round's first frame is frame 4.
const std::string start_game = "0 key_down 32\n0 key_up 32\n2 mouse_down 1\n2 mouse_up 1\n";
constexpr int first_round_frame = 4;

}  // namespace

class round_run : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { test_support::copy_game_sounds(dir, GF_DATA_DIR); }
    // Frame n of the run, counted from 1.
    static const trace_frame& at(const test_support::run_result& r, int n) {
        return r.trace.at(static_cast<std::size_t>(n - 1));
    }
};

TEST_F(round_run, fly_in_speed_steps_and_clock) {
    auto r = run_replay(dir, start_game, "--frames 400 --clock-start 4242");
    ASSERT_EQ(r.status, 0) << r.errors;
    const int f0 = first_round_frame;
    EXPECT_EQ(at(r, f0 - 1).raw("music"), "2");
    EXPECT_NE(at(r, f0 - 1).raw("sfx").find("WarpIn"), std::string::npos);
    EXPECT_EQ(at(r, f0).integer("state"), 2);
    EXPECT_EQ(at(r, f0).integer("level"), 60);
    for (int i = 0; i < 67; ++i) {
        EXPECT_EQ(at(r, f0 + i).integer("phase"), 0) << "fly-in frame " << i + 1;
        EXPECT_EQ(at(r, f0 + i).integer("spd"), -20);
    }
    const int active = f0 + 67;  // the 68th round frame ends the fly-in
    EXPECT_EQ(at(r, active).integer("phase"), 1);
    EXPECT_DOUBLE_EQ(at(r, active).num("px"), 200.0);
    // Boost for 61 frames of active play, then -10 for 61, then cruise.
    EXPECT_EQ(at(r, active + 60).integer("spd"), -20);
    EXPECT_EQ(at(r, active + 61).integer("spd"), -10);
    EXPECT_EQ(at(r, active + 121).integer("spd"), -10);
    EXPECT_EQ(at(r, active + 122).integer("spd"), -2);
    // The clock ticks on every 60th frame of active play (fly-in frames do not count).
    EXPECT_EQ(at(r, active + 59).integer("level"), 60);
    EXPECT_EQ(at(r, active + 60).integer("level"), 59);
    EXPECT_EQ(at(r, active + 120).integer("level"), 58);
}

TEST_F(round_run, pause_freezes_all_but_one_frame) {
    // Paused during the fly-in, where the player moves 6 pixels a frame.
    const std::string script = start_game + "30 key_down 32\n30 key_up 32\n" +
                               "60 key_down 32\n60 key_up 32\n" + "90 key_down 27\n" +
                               "90 key_up 27\n" + "91 key_down 27\n91 key_up 27\n" +
                               "93 key_down 27\n";
    auto r = run_replay(dir, script, "");
    ASSERT_EQ(r.status, 0) << r.errors;
    const trace_frame& before = at(r, 30);
    const trace_frame& paused = at(r, 31);
    EXPECT_EQ(paused.integer("state"), 3);
    EXPECT_DOUBLE_EQ(paused.num("px"), before.num("px") + 6.0) << "one extra round frame";
    EXPECT_EQ(paused.integer("glow_ang"), before.integer("glow_ang") + 2);
    const trace_frame& last_paused = at(r, 60);
    EXPECT_EQ(last_paused.raw("px"), paused.raw("px"));
    EXPECT_EQ(last_paused.raw("glow_ang"), paused.raw("glow_ang"));
    EXPECT_EQ(at(r, 61).integer("state"), 2) << "Space resumes";
    EXPECT_DOUBLE_EQ(at(r, 61).num("px"), paused.num("px") + 6.0);
    EXPECT_EQ(at(r, 91).integer("state"), 3) << "Escape pauses too";
}

TEST_F(round_run, escape_from_pause_goes_back_to_the_title_standing_still) {
    const std::string script = start_game + "100 key_down 27\n100 key_up 27\n" +
                               "110 key_down 27\n110 key_up 27\n" + "120 key_down 27\n";
    auto r = run_replay(dir, script, "");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(at(r, 101).integer("state"), 3);
    EXPECT_EQ(at(r, 111).integer("state"), 4);
    EXPECT_EQ(at(r, 111).integer("spd"), 0);
    EXPECT_EQ(at(r, 111).raw("music"), "1") << "title music from its start";
    EXPECT_EQ(r.trace.size(), 120u) << "Escape on the title quits";
}

TEST_F(round_run, menu_hover_edges_and_option_wraps) {
    // Pointer at y 200 selects nothing; at 201 "Start Game"... here only options are
    // clicked: 3D at y 260, sound at y 340, each from frame 10 on, one click a frame pair.
    std::string script = "0 key_down 32\n0 key_up 32\n";
    int f = 4;
    auto click_at = [&](int y, int times) {
        script += std::to_string(f) + " mouse_move 320 " + std::to_string(y) + "\n";
        for (int i = 0; i < times; ++i, f += 2) {
            script += std::to_string(f) + " mouse_down 1\n" + std::to_string(f) + " mouse_up 1\n";
        }
        f += 2;
    };
    click_at(200, 1);  // nothing
    click_at(440, 1);  // nothing
    const int sound_from = f;
    click_at(340, 11);
    const int mode_from = f;
    click_at(260, 5);
    script += std::to_string(f) + " key_down 27\n";
    auto r = run_replay(dir, script, "");
    ASSERT_EQ(r.status, 0) << r.errors;
    for (const auto& fr : r.trace) {
        ASSERT_NE(fr.integer("state"), 2) << "no click may start a game, frame " << fr.integer("f");
    }
    EXPECT_EQ(at(r, sound_from + 1).integer("sound_lvl"), 0) << "Max wraps to Off";
    EXPECT_EQ(at(r, sound_from + 21).integer("sound_lvl"), 10) << "eleven clicks come round";
    EXPECT_EQ(at(r, mode_from + 1).integer("mode_3d"), 1);
    EXPECT_EQ(at(r, mode_from + 9).integer("mode_3d"), 0) << "five clicks come round";
}

// A whole round played by a fixed script: weaving up and down through every kind of gift
// until the clock runs out. The numbers are this game's own; a change to the rules, to the
// layout or to the sprites' shapes changes them (re-record from the trace).
TEST_F(round_run, golden_round_reaches_the_tally) {
    std::string script = start_game;
    bool up = true;
    for (int f = 72; f < 4400; f += 37, up = !up) {
        const std::string key = up ? "38" : "40";
        script += std::to_string(f) + " key_down " + key + "\n" + std::to_string(f + 25) +
                  " key_up " + key + "\n";
    }
    auto r = run_replay(dir, script, "--frames 2700 --clock-start 20261208");
    ASSERT_EQ(r.status, 0) << r.errors;
    int tally_at = 0;
    std::map<std::string, int> sfx;
    for (const auto& f : r.trace) {
        if (tally_at == 0 && f.integer("state") == 5) tally_at = f.integer("f");
        std::string names = f.raw("sfx");
        for (std::size_t at = names.find('"'); at != std::string::npos;
             at = names.find('"', names.find('"', at + 1) + 1)) {
            ++sfx[names.substr(at + 1, names.find('"', at + 1) - at - 1)];
        }
    }
    ASSERT_GT(tally_at, 0) << "never reached the tally";
    const auto& end = at(r, tally_at);
    EXPECT_EQ(end.integer("tally_won"), 0) << "time ran out";
    EXPECT_EQ(end.integer("level"), 0);
    EXPECT_GT(sfx["Present"], 0);
    EXPECT_GT(sfx["Warper"], 0);
    EXPECT_GT(sfx["Bomb"], 0);
    EXPECT_EQ(sfx["Loose"], 1);
    EXPECT_EQ(end.integer("best"), 300);
    EXPECT_EQ(end.integer("score"), 200);
    EXPECT_EQ(tally_at, 2651);
    EXPECT_EQ(end.integer("got"), 4);
}

TEST_F(round_run, a_best_from_an_abandoned_round_is_saved_as_the_round_is_left) {
    // A warper is taken on frame 494 (50 points); the round is then left through the pause
    // menu, and the run killed on the title: no shutdown, the best must be on disk already.
    const std::string script =
        "0 key_down 32\n0 key_up 32\n5 mouse_down 1\n5 mouse_up 1\n74 key_down 38\n"
        "75 key_up 38\n510 key_down 27\n510 key_up 27\n515 key_down 27\n515 key_up 27\n";
    auto r = run_replay(dir, script, "--frames 530 --clock-start 1065");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(at(r, 500).integer("best"), 50) << "the script no longer scores";
    EXPECT_EQ(at(r, 517).integer("state"), 4);
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (std::vector<unsigned char>{50, 0, 0, 0}));
}
