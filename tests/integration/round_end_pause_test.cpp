// A pause asked for on the very pass that ends the round: the pause menu runs one more
// round frame first, and when that frame hands over to the tally, the ending must run once.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/runner.h"

using test_support::run_replay;
using test_support::trace_frame;

namespace {

std::string read_script(const std::string& name) {
    std::ifstream in(std::string(GF_SCRIPTS_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Space seen after frame `frame`, and again a few frames later, where a pause menu would
// take it as "resume".
std::string space_at(int frame) {
    std::string s;
    for (int f : {frame, frame + 5}) {
        s += std::to_string(f) + " key_down 32\n" + std::to_string(f) + " key_up 32\n";
    }
    return s;
}

int count(const test_support::run_result& r, const std::string& key, const std::string& item) {
    int n = 0;
    for (const trace_frame& f : r.trace) {
        const std::string v = f.raw(key);
        for (auto at = v.find(item); at != std::string::npos; at = v.find(item, at + 1)) ++n;
    }
    return n;
}

}  // namespace

class round_end_pause : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { test_support::copy_game_sounds(dir, GF_DATA_DIR); }
    static const trace_frame& at(const test_support::run_result& r, int n) {
        return r.trace.at(static_cast<std::size_t>(n - 1));
    }
};

TEST_F(round_end_pause, a_completed_round_adds_its_bonuses_and_plays_the_win_once) {
    constexpr int tally_frame = 5436;  // where the fly-out hands over without a pause
    const std::string script = read_script("every_present_1065.txt") + space_at(tally_frame - 1);
    auto r = run_replay(dir, script, "--frames 5470 --clock-start 1065");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 5470u);

    const trace_frame& last_round = at(r, tally_frame - 1);
    ASSERT_EQ(last_round.integer("phase"), 2) << "the script no longer reaches the fly-out";
    ASSERT_EQ(last_round.integer("got"), last_round.integer("total"));
    const int expected =
        last_round.integer("score") + 1000 + 5000 + 100 * last_round.integer("level");
    for (int f = tally_frame; f <= 5470; ++f) {
        ASSERT_EQ(at(r, f).integer("state"), 5) << "frame " << f << ": the tally, never a pause";
        ASSERT_EQ(at(r, f).integer("score"), expected) << "frame " << f;
    }
    EXPECT_EQ(at(r, 5470).integer("best"), expected);
    EXPECT_EQ(count(r, "music", "3"), 1) << "one win track";
    const unsigned u = static_cast<unsigned>(expected);
    EXPECT_EQ(
        dir.read("Data/hiscore.dat"),
        (std::vector<unsigned char>{
            static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>((u >> 8) & 0xFF),
            static_cast<unsigned char>((u >> 16) & 0xFF), static_cast<unsigned char>(u >> 24)}))
        << "the saved best is the round's one score";
}

TEST_F(round_end_pause, time_up_ends_the_round_once_and_return_leaves_the_tally) {
    // Steers into the bombs of the same layout until the clock runs out on frame 2594.
    constexpr int tally_frame = 2594;
    const std::string steering =
        "0 key_down 32\n0 key_up 32\n5 mouse_down 1\n5 mouse_up 1\n"
        "74 key_down 38\n75 key_up 38\n564 key_down 38\n713 key_up 38\n889 key_down 40\n"
        "892 key_up 40\n896 key_down 38\n1037 key_up 38\n2032 key_down 38\n2184 key_up 38\n"
        "2557 key_down 38\n2594 key_up 38\n";
    // Return before the tally's prompt is thrown away; after it, Return is fire.
    const int early = tally_frame + 100, late = tally_frame + 260;
    const std::string returns = std::to_string(early) + " key_down 13\n" + std::to_string(early) +
                                " key_up 13\n" + std::to_string(late) + " key_down 13\n" +
                                std::to_string(late) + " key_up 13\n";
    auto r = run_replay(dir, steering + space_at(tally_frame - 1) + returns,
                        "--frames " + std::to_string(late + 2) + " --clock-start 1065");
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_LE(at(r, tally_frame - 1).integer("level"), 0)
        << "the script no longer runs out of time";
    ASSERT_EQ(at(r, tally_frame).integer("tally_won"), 0);

    EXPECT_EQ(count(r, "sfx", "\"Loose\""), 1);
    const trace_frame& first = at(r, tally_frame);
    for (int f = tally_frame; f <= late; ++f) {
        const trace_frame& fr = at(r, f);
        ASSERT_EQ(fr.integer("state"), 5) << "frame " << f;
        ASSERT_EQ(fr.raw("sfx").find("Present"), std::string::npos) << "caught on frame " << f;
        ASSERT_EQ(fr.integer("got"), first.integer("got"));
        ASSERT_EQ(fr.integer("score"), first.integer("score"));
    }
    const trace_frame& left = at(r, late + 1);
    EXPECT_EQ(left.integer("state"), 4) << "Return after the prompt leaves for the title";
    EXPECT_EQ(left.raw("music"), "1");
    EXPECT_NE(left.raw("sfx").find("LogoHit"), std::string::npos);
}
