// Round play: the fly-in under "Ready, Set, Lets Go!", active play against the clock with
// the speed steps, and the fly-out, then the hand-over to the tally.
#include "game/globals.h"
#include "game/saved_files.h"
#include "game/screens.h"
#include "media/assets.h"
#include "media/draw_state.h"

using namespace media;

namespace {

void fly_in() {
    set_color(200, 255, 200);
    draw3d->sip(blend_alpha, 1.0f, 0, 2.0f, 2.0f);
    draw3d->t3d("Ready, Set, Lets Go!", 320.0f, 100.0f, 4.0f, 1, 2);
    scenery->update();
    gstuff_tag::update_all();
    player->update();
    player->x += 6.0f;
    if (player->x > 200.0f) {
        player->x = 200.0f;
        round_phase = 1;
    }
}

// Boost -20 and then -10 last 61 frames each before the world settles into its cruise.
void step_speed() {
    if (scroll_spd >= -2) return;
    if (++spd_ctr > 60) {
        spd_ctr = 0;
        scroll_spd += 10;
        if (scroll_spd > -2) scroll_spd = -2;
    }
}

void time_up() {
    scroll_spd = 0;
    player->level = 0;
    game_state = gs_tally;
    tally_tmr = 0;
    tally_won = 0;
    grab_image(img_snap, 0, 0, 0);
    stop_channel(music_chn);
    play_sound_effect(snd_loose);
}

void active_play() {
    step_speed();
    scenery->update();
    gstuff_tag::update_all();
    player->get_inputs();
    player->update();
    star3d_tag::update_all();
    set_scale(1.0f, 1.0f);

    player_tag& p = *player;
    if (++p.lives == 60) {
        p.lives = 0;
        if (--p.level <= 0) time_up();
    }
    if (p.level > 60) p.level = 60;
    if (scroll_spd != 0 && (stuff_done == 50 || gifts_got == gifts_total)) {
        round_phase = 2;
        scroll_spd = -20;
        sceenery_tag::reset();
        stop_channel(music_chn);
        play_sound_effect(snd_warpout);
    }
}

void fly_out() {
    player->x += 8.0f;
    scenery->update();
    player->update();
    if (player->x > 845.0f) {
        game_state = gs_tally;
        tally_tmr = 0;
        tally_won = 1;
        grab_image(img_snap, 0, 0, 0);
        player_tag& p = *player;
        p.score += 1000;
        p.score += gifts_got == gifts_total ? 5000 : gifts_got * 100;
        p.score += p.level * 100;
        start_music(3);
    }
}

}  // namespace

void round_play() {
    switch (round_phase) {
        case 0:
            fly_in();
            break;
        case 1:
            active_play();
            break;
        case 2:
            fly_out();
            break;
        default:
            break;
    }
    player_tag& p = *player;
    if (p.score > p.best_sc) {
        p.new_bs = 1;
        p.best_sc = p.score;
    }
    // A new best reaches the disk as the round ends, so a crash later cannot lose it.
    if (game_state == gs_tally && p.new_bs != 0) hiscore_file(1);
}
