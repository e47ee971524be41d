// The end-of-round tally: how the round ended, the bonuses, the final score and the
// high-score verdict; after 250 frames fire returns to the title, or it leaves at 6000.
#include <string>

#include "game/globals.h"
#include "game/screens.h"
#include "media/assets.h"
#include "media/draw_state.h"
#include "media/input.h"

using namespace media;

namespace {

const std::string rule(38, '_');

void line(const std::string& text, float y) {
    draw3d->t3d(text, 320.0f, y, 4.0f, 1, 2);
}

void scale(float s) {
    draw3d->sip(blend_alpha, 1.0f, 0, s, s);
}

std::string verdict() {
    return player->new_bs != 0 ? "You Got The High Score This Game!"
                               : "Sorry, No High Score This Game";
}

std::string collected_out_of() {
    return "You Collected " + std::to_string(gifts_got) + " Out Of " + std::to_string(gifts_total) +
           " Missing Presents";
}

void completed_page() {
    const bool all = gifts_got == gifts_total;
    set_color(200, 255, 200);
    scale(2.0f);
    line("- You Made It! -", 70);
    scale(1.2f);
    line(all ? "You Collected All " + std::to_string(gifts_total) + " Missing Presents!"
             : collected_out_of(),
         120);
    set_color(100, 255, 240);
    scale(1.0f);
    line(rule, 140);
    line("Game Completion Bonus: +1000 Pts", 170);
    line(all ? std::string("Presents Recovered Bonus: +5000 Pts")
             : "Presents Recovered Bonus: +" + std::to_string(gifts_got * 100) + " Pts",
         200);
    line("Time Remaining Bonus: +" + std::to_string(player->level * 100) + " Pts", 230);
    line(rule, 235);
    set_color(200, 255, 200);
    scale(2.0f);
    line("Final Score: " + std::to_string(player->score), 285);
    scale(1.2f);
    line(verdict(), 350);
    scale(1.0f);
}

// The scale is left at 1.2, so the prompt comes out larger after this page.
void time_up_page() {
    set_color(200, 255, 200);
    scale(2.0f);
    line("Time's Up!", 80);
    set_color(220, 255, 220);
    scale(1.2f);
    line(collected_out_of(), 160);
    scale(2.0f);
    line("Final Score: " + std::to_string(player->score), 250);
    scale(1.2f);
    line(verdict(), 340);
}

bool fire_pressed() {
    return key_hit(162) != 0 || mouse_hit(1) != 0 || mouse_hit(2) != 0 || joy_hit(0, 0) != 0;
}

void leave() {
    scroll_spd = 0;
    sceenery_tag::reset();
    player->flush_inputs();
    if (channel_playing(music_chn) != 0) stop_channel(music_chn);
    game_state = gs_title;
    play_sound_effect(snd_logohit);
    start_music(1);
}

}  // namespace

void tally() {
    ++tally_tmr;
    if (tally_won != 0) {
        completed_page();
    } else {
        time_up_page();
    }
    if (tally_tmr > 250) {
        line("Press Fire to Continue", 420);
        if (fire_pressed()) tally_tmr = 6000;
    } else {
        player->flush_inputs();
    }
    if (tally_tmr >= 6000) leave();
}
