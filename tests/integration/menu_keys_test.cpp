// The title and pause menus from the keyboard alone: Up and Down move the pointer from
// entry to entry, Return chooses as a left click does.
#include <gtest/gtest.h>

#include "support/runner.h"

using test_support::run_replay;
using test_support::trace_frame;

namespace {

// Space skips the intro; the title's first frame is frame 2, with the pointer at (320, 220)
// on "Start Game".
const std::string skip_intro = "0 key_down 32\n0 key_up 32\n";

std::string key(int frame, int code) {
    return std::to_string(frame) + " key_down " + std::to_string(code) + "\n" +
           std::to_string(frame) + " key_up " + std::to_string(code) + "\n";
}
constexpr int up = 38, down = 40, enter = 13, escape = 27;

}  // namespace

class menu_keys : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { test_support::copy_game_sounds(dir, GF_DATA_DIR); }
    static const trace_frame& at(const test_support::run_result& r, int n) {
        return r.trace.at(static_cast<std::size_t>(n - 1));
    }
};

TEST_F(menu_keys, arrows_walk_the_entries_and_wrap) {
    std::string script = skip_intro;
    int f = 3;
    for (int i = 0; i < 6; ++i) script += key(f++, down);  // 3..8: entries 1..5, then 0
    script += key(f++, up);                                // 9: back to 5
    script += "12 mouse_move 100 305\n";                   // the mouse takes over
    script += key(14, up);                                 // 14: from entry 2 to 1
    script += "16 mouse_move 320 100\n" + key(18, up);     // from no entry, Up picks the last
    script += key(20, escape);
    auto r = run_replay(dir, script, "--frames 40");
    ASSERT_EQ(r.status, 0) << r.errors;
    const char* expected[] = {"320,260", "320,300", "320,340", "320,380",
                              "320,420", "320,220", "320,420"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(at(r, 4 + i).raw("ptr"), expected[i]) << "after key " << i + 1;
    }
    EXPECT_EQ(at(r, 13).raw("ptr"), "100,305");
    EXPECT_EQ(at(r, 15).raw("ptr"), "100,260") << "the pointer keeps its x";
    EXPECT_EQ(at(r, 19).raw("ptr"), "320,420");
    for (const trace_frame& fr : r.trace) {
        EXPECT_EQ(fr.raw("sfx"), "")
            << "moving the highlight chooses nothing, frame " << fr.integer("f");
    }
}

TEST_F(menu_keys, return_chooses_the_highlighted_entry) {
    // Down and Return on "3D Graphics" step the mode; Up and Return on "Start Game" start
    // a round; on the pause menu, Down twice and Return switch the scan lines on.
    const std::string script = skip_intro + key(3, down) + key(4, enter) + key(6, up) +
                               key(7, enter) + key(20, escape) + key(22, down) + key(23, down) +
                               key(24, enter) + key(26, escape) + key(28, escape);
    auto r = run_replay(dir, script, "--frames 40");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(at(r, 4).integer("mode_3d"), 0) << "the labels show the value before the choice";
    EXPECT_EQ(at(r, 5).integer("mode_3d"), 1);
    EXPECT_EQ(at(r, 5).raw("sfx"), "\"Chime\"");
    EXPECT_EQ(at(r, 7).integer("state"), 4);
    EXPECT_EQ(at(r, 8).integer("state"), 2) << "Return on Start Game starts a round";
    EXPECT_EQ(at(r, 8).raw("music"), "2");
    EXPECT_EQ(at(r, 21).integer("state"), 3);
    EXPECT_EQ(at(r, 24).integer("retro_fx"), 0);
    EXPECT_EQ(at(r, 25).integer("retro_fx"), 1);
    EXPECT_EQ(at(r, 27).integer("state"), 4) << "Escape on the pause menu still goes back";
}

TEST_F(menu_keys, a_stepped_3d_choice_is_saved_at_once) {
    // A browser tab may be closed with no shutdown after it: the run here stops at its
    // frame limit, as if killed, and the choice made before is still on disk.
    const std::string script = skip_intro + key(3, down) + key(4, enter) + key(6, enter);
    auto r = run_replay(dir, script, "--frames 10");
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (std::vector<unsigned char>{2, 0, 0, 0}));
    EXPECT_FALSE(std::filesystem::exists(dir / "Data/hiscore.dat")) << "nothing else was saved";
}
