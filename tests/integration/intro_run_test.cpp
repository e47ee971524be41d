// The logo intro through the runner: its timeline, its skip inputs and the snow's start.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/runner.h"

using test_support::run_replay;

class intro_run : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override {
        std::filesystem::create_directories(dir / "Data");
        std::filesystem::copy_file(std::filesystem::path(GF_DATA_DIR) / "LogoHit.ogg",
                                   dir / "Data/LogoHit.ogg");
    }
};

TEST_F(intro_run, plays_477_frames_with_the_crash_on_frame_364) {
    auto r = run_replay(dir, "", "--frames 480");
    ASSERT_EQ(r.status, 0) << r.errors;
    int crash_frame = 0, crashes = 0;
    for (const auto& f : r.trace) {
        if (f.raw("sfx").find("LogoHit") != std::string::npos) {
            crash_frame = f.integer("f");
            ++crashes;
        }
    }
    EXPECT_EQ(crashes, 1);
    EXPECT_EQ(crash_frame, 364);
    EXPECT_EQ(r.trace[0].raw("music"), "1") << "the title music starts with the intro";
    EXPECT_EQ(r.trace[476].integer("state"), 0) << "frame 477 is the intro's last";
    EXPECT_EQ(r.trace[477].integer("state"), 4);
}

TEST_F(intro_run, each_skip_input_ends_it_after_that_frame_unseen_by_the_title) {
    const std::pair<std::string, std::string> skips[] = {
        {"key_down 27", "key_up 27"},
        {"key_down 32", "key_up 32"},
        {"mouse_down 1", "mouse_up 1"},
        {"joy_down 0", "joy_up 0"},
    };
    for (const auto& [down, up] : skips) {
        // Seen after frame 20; the pointer sits on "Start Game", so a click or pad button
        // that leaked into the title would start a round.
        auto r = run_replay(dir, "20 " + down + "\n21 " + up + "\n", "--frames 40");
        ASSERT_EQ(r.status, 0) << down << ": " << r.errors;
        EXPECT_EQ(r.trace[19].integer("state"), 0) << down;
        EXPECT_EQ(r.trace[20].integer("state"), 4) << down << ": title from frame 21";
        for (const auto& f : r.trace) {
            EXPECT_NE(f.integer("state"), 2) << down << " reached the title menu";
            EXPECT_EQ(f.integer("quit"), 0) << down << " reached the title menu";
        }
    }
}

TEST_F(intro_run, snow_starts_the_same_whatever_the_clock) {
    const auto a = dir / "a.png";
    const auto b = dir / "b.png";
    ASSERT_EQ(run_replay(dir, "", "--frames 1 --clock-start 7 --shot 1:" + a.string()).status, 0);
    ASSERT_EQ(run_replay(dir, "", "--frames 1 --clock-start 90210 --shot 1:" + b.string()).status,
              0);
    EXPECT_EQ(dir.read("a.png"), dir.read("b.png"));
}
