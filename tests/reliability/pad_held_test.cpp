// A pad button held down through a whole round and its tally: a held button is one press,
// so it never pauses, never ends the tally early, never starts a round by itself, and the
// game never waits for it to be let go.
#include <gtest/gtest.h>

#include "game_run.h"
#include "support/temp_dir.h"

using namespace reliability;

TEST(pad_held, buttons_held_through_the_tally_neither_stop_nor_hurry_it) {
    test_support::temp_dir work;
    copy_sounds(work / "game/Data");
    // Button 1 (pause) goes down on the title, where it does nothing; button 0 then starts
    // the round. Both stay down till frame 9500. Clicks and Control during the round wait,
    // unread, for the tally to forget them.
    std::string script = "0 key_down 32\n0 key_up 32\n2 joy_down 1\n3 joy_down 0\n";
    for (int f = 400; f <= 1600; f += 400) {
        script += std::to_string(f) + " mouse_down 1\n" + std::to_string(f) + " mouse_up 1\n" +
                  std::to_string(f) + " key_down 162\n" + std::to_string(f) + " key_up 162\n";
    }
    script += "9500 joy_up 0\n9500 joy_up 1\n9510 joy_down 0\n9510 joy_up 0\n";
    auto r = run_game(work / "game", work.path(), script, "--frames 9530 --clock-start 1000");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 9530u);

    std::size_t tally = 0;  // index of the tally's first frame
    for (std::size_t i = 1; i < r.trace.size(); ++i) {
        const auto& f = r.trace[i];
        ASSERT_NE(f.integer("state"), 3) << "a held button paused the game at frame " << i + 1;
        const int step = f.integer("ms") - r.trace[i - 1].integer("ms");
        ASSERT_TRUE(step == 16 || step == 17) << "frame " << i + 1 << " took " << step << " ms";
        if (tally == 0 && f.integer("state") == 5) tally = i;
    }
    ASSERT_EQ(r.trace[5].integer("state"), 2) << "button 0 started the round";
    ASSERT_GT(tally, 1600u) << "the round must outlast the clicks made during it";
    ASSERT_LT(tally + 6000, 9490u) << "the round ran too long for this script";

    for (std::size_t i = tally; i < tally + 6000; ++i) {
        ASSERT_EQ(r.trace[i].integer("state"), 5) << "the tally ended early at frame " << i + 1;
        ASSERT_EQ(r.trace[i].integer("tally_tmr"), static_cast<int>(i - tally));
    }
    EXPECT_EQ(r.trace[tally + 6000].integer("state"), 4) << "the tally leaves by itself";
    for (std::size_t i = tally + 6000; i < 9510; ++i) {
        ASSERT_EQ(r.trace[i].integer("state"), 4) << "the held button started a round";
    }
    EXPECT_EQ(r.trace[9515].integer("state"), 2) << "a fresh press starts the next round";
}
