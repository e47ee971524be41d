#include "game/tally_page.h"

#include "game/globals.h"

namespace {

const std::string rule(38, '_');

std::string verdict() {
    return player->new_bs != 0 ? "You Got The High Score This Game!"
                               : "Sorry, No High Score This Game";
}

std::string collected_out_of() {
    return "You Collected " + std::to_string(gifts_got) + " Out Of " + std::to_string(gifts_total) +
           " Missing Presents";
}

std::vector<tally_line> completed_page() {
    const bool all = gifts_got == gifts_total;
    const std::string presents =
        all ? "You Collected All " + std::to_string(gifts_total) + " Missing Presents!"
            : collected_out_of();
    const std::string recovered =
        all ? std::string("Presents Recovered Bonus: +5000 Pts")
            : "Presents Recovered Bonus: +" + std::to_string(gifts_got * 100) + " Pts";
    const std::string time_bonus =
        "Time Remaining Bonus: +" + std::to_string(player->level * 100) + " Pts";
    return {
        {"- You Made It! -", 70, 2.0f, 200, 255, 200},
        {presents, 120, 1.2f, 200, 255, 200},
        {rule, 140, 1.0f, 100, 255, 240},
        {"Game Completion Bonus: +1000 Pts", 170, 1.0f, 100, 255, 240},
        {recovered, 200, 1.0f, 100, 255, 240},
        {time_bonus, 230, 1.0f, 100, 255, 240},
        {rule, 235, 1.0f, 100, 255, 240},
        {"Final Score: " + std::to_string(player->score), 285, 2.0f, 200, 255, 200},
        {verdict(), 350, 1.2f, 200, 255, 200},
    };
}

std::vector<tally_line> time_up_page() {
    return {
        {"Time's Up!", 80, 2.0f, 200, 255, 200},
        {collected_out_of(), 160, 1.2f, 220, 255, 220},
        {"Final Score: " + std::to_string(player->score), 250, 2.0f, 220, 255, 220},
        {verdict(), 340, 1.2f, 220, 255, 220},
    };
}

}  // namespace

std::vector<tally_line> tally_page() {
    std::vector<tally_line> page = tally_won != 0 ? completed_page() : time_up_page();
    // After the completed page the scale goes back to 1.0; the time-up page leaves 1.2.
    tally_line prompt = page.back();
    if (tally_won != 0) prompt.scale = 1.0f;
    prompt.text = "Press Fire to Continue";
    prompt.y = 420;
    if (tally_tmr > 250) page.push_back(prompt);
    return page;
}
