// The whole program through the runner: start-up, the loop's exits, saving, pacing.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/runner.h"

using test_support::run_replay;
using bytes = std::vector<unsigned char>;

namespace {
// Space on the first intro frame: the title menu's first frame is frame 2.
const std::string skip_intro = "0 key_down 32\n0 key_up 32\n";
}  // namespace

class main_loop_run : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { std::filesystem::create_directories(dir / "Data"); }
};

TEST_F(main_loop_run, escape_on_the_title_ends_after_that_pass_and_saves_both_files) {
    auto r = run_replay(dir, skip_intro + "2 key_down 27\n", "");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 2u) << "one title pass, then shutdown";
    EXPECT_EQ(r.trace[0].integer("state"), 0) << "the intro";
    EXPECT_EQ(r.trace[1].integer("state"), 4);
    EXPECT_EQ(r.trace[1].raw("ptr"), "320,220");
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{0, 0, 0, 0}));
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (bytes{0, 0, 0, 0}));
}

TEST_F(main_loop_run, saved_values_come_back_unchanged) {
    dir.write("Data/hiscore.dat", {0xD2, 0x04, 0x00, 0x00, 0x07});
    dir.write("Data/anaglyph3d.dat", {3, 0, 0, 0});
    auto r = run_replay(dir, skip_intro + "3 key_down 27\n", "");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 3u);
    EXPECT_EQ(r.trace[2].integer("best"), 1234);
    EXPECT_EQ(r.trace[2].integer("mode_3d"), 3);
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{0xD2, 0x04, 0x00, 0x00}));
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (bytes{3, 0, 0, 0}));
}

TEST_F(main_loop_run, close_request_ends_the_run_in_order) {
    auto r = run_replay(dir, skip_intro + "5 close\n", "");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 5u);
    EXPECT_EQ(r.trace[4].integer("quit"), 0) << "read when presenting, before the close";
    EXPECT_EQ(dir.read("Data/hiscore.dat").size(), 4u);
}

TEST_F(main_loop_run, close_during_the_intro_still_runs_one_title_pass) {
    auto r = run_replay(dir, "5 close\n", "");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 6u);
    EXPECT_EQ(r.trace[4].integer("state"), 0);
    EXPECT_EQ(r.trace[5].integer("state"), 4);
    EXPECT_EQ(r.trace[5].integer("quit"), 1);
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat").size(), 4u);
}

TEST_F(main_loop_run, a_save_request_writes_what_shutdown_would_there_and_then) {
    // Down to "3D Graphics", Return steps the mode, then the platform asks for the saves.
    const std::string step_mode = skip_intro + "3 key_down 40\n4 key_up 40\n5 key_down 13\n";
    auto r = run_replay(dir, step_mode + "6 key_up 13\n8 save\n", "--frames 12");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 12u);
    ASSERT_EQ(r.trace[11].integer("mode_3d"), 1) << "the menu no longer steps the mode";
    EXPECT_EQ(r.trace[11].integer("quit"), 0) << "the game plays on";
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (bytes{1, 0, 0, 0}));
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{0, 0, 0, 0}));

    // Asked while away (a hidden browser tab): saved before the focus comes back.
    std::filesystem::remove(dir / "Data/anaglyph3d.dat");
    r = run_replay(dir, step_mode + "6 key_up 13\n8 suspend 30\n8 save\n", "--frames 9");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (bytes{1, 0, 0, 0}));
}

TEST_F(main_loop_run, frames_limit_stops_as_if_killed) {
    auto r = run_replay(dir, "", "--frames 12");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 12u);
    EXPECT_EQ(r.trace[11].integer("f"), 12);
    EXPECT_FALSE(std::filesystem::exists(dir / "Data/hiscore.dat")) << "nothing saved";
}

TEST_F(main_loop_run, sixty_frames_take_one_second_of_the_virtual_clock) {
    auto r = run_replay(dir, "", "--frames 120 --clock-start 5000");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 120u);
    EXPECT_EQ(r.trace[59].integer("ms"), 6000);
    EXPECT_EQ(r.trace[119].integer("ms"), 7000);
    for (std::size_t i = 1; i < r.trace.size(); ++i) {
        const int step = r.trace[i].integer("ms") - r.trace[i - 1].integer("ms");
        EXPECT_TRUE(step == 16 || step == 17) << "frame " << i + 1 << " took " << step;
    }
}

TEST_F(main_loop_run, focus_loss_holds_the_game_until_it_comes_back) {
    auto r = run_replay(dir, skip_intro + "3 suspend 40\n6 key_down 27\n", "");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 6u);
    const int step = r.trace[3].integer("ms") - r.trace[2].integer("ms");
    EXPECT_TRUE(step == 16 || step == 17) << "the wait costs no game time, took " << step;
}

TEST_F(main_loop_run, screenshot_is_a_640_by_480_png) {
    auto r = run_replay(dir, "", "--frames 3 --shot 2:" + (dir / "shot.png").string());
    ASSERT_EQ(r.status, 0) << r.errors;
    const bytes png = dir.read("shot.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png[1], 'P');
    auto be32 = [&](std::size_t at) {
        return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    };
    EXPECT_EQ(be32(16), 640);
    EXPECT_EQ(be32(20), 480);
    EXPECT_EQ(png[25], 2) << "colour type RGB";
}

TEST_F(main_loop_run, bad_arguments_and_scripts_stop_before_the_game_with_status_2) {
    auto r = run_replay(dir, "1 key_down 27\n2 wiggle\n", "");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.errors.find("script.txt:2"), std::string::npos) << r.errors;
    EXPECT_TRUE(r.trace.empty());

    EXPECT_EQ(run_replay(dir, "", "--frames zero").status, 2);
    EXPECT_EQ(run_replay(dir, "", "--shot 5").status, 2);
    EXPECT_EQ(run_replay(dir, "", "--bogus 1").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "Data/hiscore.dat"));
}

TEST_F(main_loop_run, unwritable_game_folder_still_ends_cleanly) {
    std::filesystem::remove_all(dir / "Data");
    auto r = run_replay(dir, skip_intro + "2 key_down 27\n", "");
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.errors.find("not saved"), std::string::npos) << r.errors;
}
