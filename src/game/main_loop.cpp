#include "game/game.h"
#include "game/globals.h"
#include "game/saved_files.h"
#include "game/screens.h"
#include "media/clock.h"
#include "media/display.h"
#include "media/draw_state.h"
#include "media/input.h"
#include "media/primitives.h"

using namespace media;

namespace {

// Runs one more frame of the round into the back buffer, unpresented, and keeps it as
// the picture behind the pause menu. When that frame ended the round, the tally has
// already taken over: the pause is dropped, so the ending runs exactly once.
void freeze_round() {
    draw_backdrop();
    round_play();
    if (game_state != gs_play) return;
    game_state = gs_pause;
    grab_image(img_snap, 0, 0, 0);
    move_mouse(320, 220);
}

void run_handler() {
    switch (game_state) {
        case gs_play:
            round_play();
            break;
        case gs_pause:
        case gs_title:
            menus();
            break;
        case gs_tally:
            tally();
            break;
        default:
            break;
    }
}

// Saves when the platform asks: a browser tab that is hidden may be closed without a
// shutdown.
void save_if_asked() {
    if (take_save_request()) save_both_files();
}

}  // namespace

void draw_backdrop() {
    clear_screen();
    if (game_state == gs_pause || game_state == gs_tally) {
        // The frozen frame, darkened and tinted blue; its black stays see-through.
        set_color(50, 50, 100);
        set_blend(blend_mask);
        draw_image(img_snap, 0, 0, 0);
        return;
    }
    set_color(255, 255, 255);
    if (mode_3d != 0) {
        draw3d->sip(blend_light, 1.0f, 0, 1.0f, 1.0f);
        draw3d->i3d(img_back, 0, 0, 0, -8.0f, 0, 2);
    } else {
        draw3d->sip(blend_alpha, 0.6f, 0, 1.0f, 1.0f);
        draw_image(img_back, 0, 0, 0);
    }
}

void draw_scanlines(int shade) {
    if (retro_fx == 0) return;
    set_color(shade, shade, shade);
    set_scale(1.0f, 1.0f);
    fill_alternate_rows(0, 1, graphics_width(), graphics_height() - 1);
    set_blend(blend_mask);
    set_color(255, 255, 255);
}

void check_keys() {
    if (key_hit(27) != 0) {
        switch (game_state) {
            case gs_title:
                quit_game = 1;
                break;
            case gs_pause:
                back_to_title();
                flush_keys();
                flush_mouse();
                break;
            case gs_play:
                freeze_round();
                flush_keys();
                flush_mouse();
                break;
            default:
                break;
        }
    }
    if (key_hit(32) != 0 || joy_hit(1, 0) != 0) {
        if (game_state == gs_play) {
            freeze_round();
            flush_mouse();
            flush_keys();
        } else if (game_state == gs_pause) {
            game_state = gs_play;
            flush_mouse();
            flush_keys();
        }
    }
    if (app_terminate() != 0) quit_game = 1;
}

void check_suspend() {
    save_if_asked();
    // A close already taken (during the intro, say) must not wait for the focus either.
    if (quit_game != 0 || app_suspended() == 0) return;
    const bool was_playing = channel_playing(music_chn) != 0;
    if (was_playing) pause_channel(music_chn);
    while (app_suspended() != 0) save_if_asked();
    // Woken by a close request: the pass ends here and shutdown follows.
    if (app_terminate() != 0) {
        quit_game = 1;
        return;
    }
    if (was_playing) resume_channel(music_chn);
}

void main_loop_pass() {
    draw_backdrop();
    run_handler();
    hud();
    draw_scanlines(2);
    flip(-1);
    check_keys();
    check_suspend();
}

void shut_down() {
    if (channel_playing(music_chn) != 0) {
        stop_channel(music_chn);
        delay(500);
    }
    save_both_files();
}

void run_game(const game_options& options) {
    start_up(options);
    do {
        main_loop_pass();
    } while (quit_game == 0);
    shut_down();
    end_program();
}
