// A round through the runner: fly-in, speed steps, clock, pause, the menus' options.
#include <gtest/gtest.h>

#include <filesystem>

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
    void SetUp() override {
        std::filesystem::create_directories(dir / "Data");
        for (const auto& f : std::filesystem::directory_iterator(GF_DATA_DIR)) {
            if (f.path().extension() == ".ogg") {
                std::filesystem::copy_file(f.path(),
                                           dir / ("Data/" + f.path().filename().string()));
            }
        }
    }
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
