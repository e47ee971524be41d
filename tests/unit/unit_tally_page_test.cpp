// The tally's texts for each way a round can end.
#include <gtest/gtest.h>

#include "game/globals.h"
#include "game/tally_page.h"

namespace {

std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (const tally_line& l : tally_page()) out.push_back(l.text);
    return out;
}

class tally_page_test : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_globals();
        player = std::make_shared<player_tag>();
        tally_tmr = 1;
    }
    void TearDown() override { reset_globals(); }
};

}  // namespace

TEST_F(tally_page_test, completed_round_with_every_present) {
    tally_won = 1;
    gifts_got = gifts_total = 9;
    player->level = 12;
    player->score = 8100;
    player->new_bs = 1;
    const auto t = texts();
    ASSERT_EQ(t.size(), 9u);
    EXPECT_EQ(t[0], "- You Made It! -");
    EXPECT_EQ(t[1], "You Collected All 9 Missing Presents!");
    EXPECT_EQ(t[2], std::string(38, '_'));
    EXPECT_EQ(t[3], "Game Completion Bonus: +1000 Pts");
    EXPECT_EQ(t[4], "Presents Recovered Bonus: +5000 Pts");
    EXPECT_EQ(t[5], "Time Remaining Bonus: +1200 Pts");
    EXPECT_EQ(t[7], "Final Score: 8100");
    EXPECT_EQ(t[8], "You Got The High Score This Game!");
}

TEST_F(tally_page_test, completed_round_with_some_presents_and_an_equal_best) {
    tally_won = 1;
    gifts_got = 7;
    gifts_total = 9;
    player->level = 12;
    player->score = player->best_sc = 2900;  // equal is not better
    const auto t = texts();
    EXPECT_EQ(t[1], "You Collected 7 Out Of 9 Missing Presents");
    EXPECT_EQ(t[4], "Presents Recovered Bonus: +700 Pts");
    EXPECT_EQ(t[8], "Sorry, No High Score This Game");
}

TEST_F(tally_page_test, time_up_page_has_no_bonus_lines_and_a_larger_prompt) {
    tally_won = 0;
    gifts_got = 3;
    gifts_total = 17;
    player->score = 250;
    tally_tmr = 251;
    const auto page = tally_page();
    ASSERT_EQ(page.size(), 5u);
    EXPECT_EQ(page[0].text, "Time's Up!");
    EXPECT_EQ(page[1].text, "You Collected 3 Out Of 17 Missing Presents");
    EXPECT_EQ(page[2].text, "Final Score: 250");
    for (const auto& l : page) EXPECT_EQ(l.text.find("Bonus"), std::string::npos);
    EXPECT_EQ(page[4].text, "Press Fire to Continue");
    EXPECT_FLOAT_EQ(page[4].scale, 1.2f);
    EXPECT_EQ(page[4].r, 220);
}

TEST_F(tally_page_test, prompt_appears_on_the_251st_frame) {
    tally_won = 1;
    tally_tmr = 250;
    EXPECT_EQ(tally_page().size(), 9u);
    tally_tmr = 251;
    const auto page = tally_page();
    ASSERT_EQ(page.size(), 10u);
    EXPECT_FLOAT_EQ(page.back().y, 420.0f);
    EXPECT_FLOAT_EQ(page.back().scale, 1.0f);
    EXPECT_EQ(page.back().r, 200);
}
