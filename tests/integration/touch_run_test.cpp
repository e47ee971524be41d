// A round played by touch through the runner: taps act as clicks, and a held finger steers
// as the arrows do, by where it is against the sleigh.
#include <gtest/gtest.h>

#include <string>

#include "support/runner.h"

using test_support::run_replay;
using test_support::trace_frame;

namespace {

// Taps alone: one skips the intro, the next, on "Start Game", starts a round on frame 4.
const std::string tap_start =
    "0 touch_down 0 320 222\n0 touch_up 0\n2 touch_down 0 320 222\n2 touch_up 0\n";
constexpr int first_round_frame = 4;
constexpr int active = first_round_frame + 67;  // the fly-in is over

std::string line(int frame, const std::string& event) {
    return std::to_string(frame) + " " + event + "\n";
}

// The trace line without the pointer, which a finger moves and a key does not.
std::string without_pointer(const trace_frame& f) {
    std::string s = f.line;
    const auto at = s.find(",\"ptr\":[");
    return s.erase(at, s.find(']', at) + 1 - at);
}

}  // namespace

class touch_run : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { test_support::copy_game_sounds(dir, GF_DATA_DIR); }
    static const trace_frame& at(const test_support::run_result& r, int n) {
        return r.trace.at(static_cast<std::size_t>(n - 1));
    }
};

TEST_F(touch_run, a_finger_far_above_or_below_steers_as_the_arrows_do) {
    // The sleigh's centre stays between 60 and 260, so a finger at the top edge is always
    // above it and one at the bottom edge always below: the rule makes them the arrows.
    const int up_from = active + 10, up_to = active + 70, down_from = active + 90,
              down_to = active + 200;
    const std::string keys = tap_start + line(up_from, "key_down 38") + line(up_to, "key_up 38") +
                             line(down_from, "key_down 40") + line(down_to, "key_up 40");
    const std::string touch = tap_start + line(up_from, "touch_down 3 100 0") +
                              line(up_to, "touch_up 3") + line(down_from, "touch_down 0 600 479") +
                              line(down_from + 40, "touch_move 0 20 470") +
                              line(down_to, "touch_up 0");
    auto by_keys = run_replay(dir, keys, "--frames 400 --clock-start 777");
    auto by_touch = run_replay(dir, touch, "--frames 400 --clock-start 777");
    ASSERT_EQ(by_keys.status, 0) << by_keys.errors;
    ASSERT_EQ(by_touch.status, 0) << by_touch.errors;
    ASSERT_EQ(by_keys.trace.size(), 400u);
    ASSERT_EQ(by_touch.trace.size(), 400u);
    EXPECT_EQ(at(by_touch, first_round_frame).integer("state"), 2) << "taps start the round";
    EXPECT_LT(at(by_touch, up_to).num("py"), at(by_touch, up_from).num("py")) << "it climbed";
    EXPECT_GT(at(by_touch, down_to).num("py"), at(by_touch, up_to).num("py")) << "it dived";
    for (int f = 1; f <= 400; ++f) {
        ASSERT_EQ(without_pointer(at(by_touch, f)), without_pointer(at(by_keys, f)))
            << "frame " << f;
    }
}

TEST_F(touch_run, a_finger_over_the_sleigh_holds_it_and_the_newest_finger_wins) {
    // The sleigh starts the round at 200 and cruises at 4 pixels a frame once the boost
    // and its slowdown are over.
    const int f = active + 130;
    const std::string script =
        tap_start + line(f, "touch_down 0 100 215") +  // within the dead band: holds
        line(f + 20, "touch_move 0 100 120") +         // slides up: climbs to 120 + 33
        line(f + 60, "touch_down 1 100 470") +         // a second finger below: it wins
        line(f + 70, "touch_up 1") +                   // lifted: the first steers again
        line(f + 100, "touch_up 0");
    auto r = run_replay(dir, script, "--frames " + std::to_string(f + 110));
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(at(r, f).integer("spd"), -2) << "cruising";
    for (int n = f; n < f + 20; ++n) EXPECT_EQ(at(r, n + 1).num("py"), 200.0) << "frame " << n;
    const double settled = at(r, f + 59).num("py");
    EXPECT_LE(settled, 153.0);
    EXPECT_GT(settled, 149.0) << "it stops within a step of the band's edge";
    EXPECT_EQ(at(r, f + 58).num("py"), settled) << "and holds there";
    EXPECT_GT(at(r, f + 70).num("py"), settled + 30.0) << "the newer finger below wins";
    EXPECT_LE(at(r, f + 99).num("py"), 153.0) << "back under the first finger";
    EXPECT_EQ(at(r, f + 110).num("py"), at(r, f + 101).num("py")) << "no finger, no steering";
}
