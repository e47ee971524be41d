// The title and pause menus: six entries picked with the mouse pointer, a pad that steers
// it, or the arrow keys that move it from entry to entry; four entries are options that
// step on each click.
#include "game/globals.h"
#include "game/saved_files.h"
#include "game/screens.h"
#include "media/assets.h"
#include "media/display.h"
#include "media/draw_state.h"
#include "media/input.h"
#include "media/primitives.h"

using namespace media;

namespace {

// A pad pushed fully home moves the pointer 6 pixels a frame on each axis.
void steer_pointer_with_pad() {
    ptr_x = mouse_x();
    ptr_y = mouse_y();
    if (joy_x(0) == joy_lim[0]) {
        ptr_x -= 6;
        move_mouse(ptr_x, ptr_y);
    }
    if (joy_x(0) == joy_lim[1]) {
        ptr_x += 6;
        move_mouse(ptr_x, ptr_y);
    }
    if (joy_y(0) == joy_lim[2]) {
        ptr_y -= 6;
        move_mouse(ptr_x, ptr_y);
    }
    if (joy_y(0) == joy_lim[3]) {
        ptr_y += 6;
        move_mouse(ptr_x, ptr_y);
    }
}

constexpr int entry_count = 6;

// The entry under a pointer at height y: only the height counts, from 201 to 439.
int entry_at(int y) {
    return y > 200 ? (y - 200) / 40 : -1;
}

// Up and Down move the pointer into the middle of the previous or next entry, wrapping
// round, so the highlight and the click rules stay the mouse's own.
void step_pointer_with_keys() {
    const int step = (key_hit(40) != 0 ? 1 : 0) - (key_hit(38) != 0 ? 1 : 0);
    if (step == 0) return;
    const int at = entry_at(mouse_y());
    int next = 0;
    if (at < 0 || at >= entry_count) {
        next = step > 0 ? 0 : entry_count - 1;
    } else {
        next = (at + step + entry_count) % entry_count;
    }
    move_mouse(mouse_x(), 220 + 40 * next);
}

template <std::size_t n>
const std::string& label(const std::array<std::string, n>& labels, int value) {
    static const std::string unknown = "?";
    return value >= 0 && value < static_cast<int>(n) ? labels[value] : unknown;
}

std::string entry_text(int i) {
    const bool paused = game_state == gs_pause;
    switch (i) {
        case 0:
            return paused ? "Resume Game" : menu_txt[0];
        case 1:
            return menu_txt[1] + label(mode3d_txt, mode_3d);
        case 2:
            return menu_txt[2] + label(onoff_txt, retro_fx);
        case 3:
            return menu_txt[3] + label(vol_txt, sound_lvl);
        case 4:
            return menu_txt[4] + label(vol_txt, music_lvl);
        default:
            return paused ? "Quit This Game" : menu_txt[5];
    }
}

void draw_entries(int selected) {
    for (int i = 0; i < entry_count; ++i) {
        const bool hot = i == selected;
        if (hot) {
            set_color(200, 255, 200);
        } else {
            set_color(200, 145, 145);
        }
        const float scale = hot ? 1.5f : 1.0f;
        draw3d->sip(blend_alpha, 1.0f, 0, scale, scale);
        draw3d->t3d(entry_text(i), 320.0f, static_cast<float>(220 + 40 * i), hot ? 3.0f : 2.0f, 1,
                    2);
    }
}

void step_volume(int& lvl, float& vol) {
    ++lvl;
    vol += 0.1f;
    if (lvl > 10) {
        lvl = 0;
        vol = 0.0f;
    }
}

void click(int selected) {
    const bool paused = game_state == gs_pause;
    switch (selected) {
        case 0:
            play_sound_effect(snd_chime);
            game_state = gs_play;
            if (!paused) {
                player_tag::reset(1);
                star3d_tag::destroy_all();
                stop_channel(music_chn);
                start_music(2);
                play_sound_effect(snd_warpin);
            }
            break;
        case 1:
            // Written as it changes: a browser tab may be closed with no shutdown to follow.
            if (++mode_3d > 4) mode_3d = 0;
            anaglyph_file(2);
            play_sound_effect(snd_chime);
            break;
        case 2:
            if (++retro_fx > 1) retro_fx = 0;
            play_sound_effect(snd_chime);
            break;
        case 3:
            step_volume(sound_lvl, sound_vol);
            play_sound_effect(snd_logohit);
            break;
        case 4:
            step_volume(music_lvl, music_vol);
            set_channel_volume(music_chn, music_vol);
            break;
        case 5:
            play_sound_effect(snd_chime);
            if (paused) {
                back_to_title();
            } else {
                quit_game = 1;
            }
            break;
        default:
            break;
    }
}

}  // namespace

void back_to_title() {
    // A best set in the abandoned round reaches the disk now, as it does at the tally.
    if (player->new_bs != 0) hiscore_file(1);
    scroll_spd = 0;
    sceenery_tag::reset();
    game_state = gs_title;
    move_mouse(320, 220);
    stop_channel(music_chn);
    start_music(1);
}

void menus() {
    step_pointer_with_keys();
    steer_pointer_with_pad();
    const int px = mouse_x();
    const int py = mouse_y();

    if (game_state == gs_title) {
        scenery->update();
        set_color(20, 20, 60);
        draw3d->sip(blend_alpha, 0.8f, 0, 1.0f, 1.0f);
        draw_rect(0, 0, 640, 480);
    }
    set_color(255, 255, 255);
    draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
    draw3d->i3d(img_title, 320.0f, 120.0f, 0, 4.0f, 0, 2);

    set_color(200, 255, 200);
    const int saved_mode = draw3d->mode;
    draw3d->mode = 0;
    draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
    draw3d->t3d(credits_txt, 320.0f, 462.0f, 1.0f, 1, 2);
    draw3d->mode = saved_mode;

    const int selected = entry_at(mouse_y());
    draw_entries(selected);

    // Return (and the keypad's Enter) chooses as a left click does.
    if (mouse_hit(1) != 0 || joy_hit(0, 0) != 0 || key_hit(13) != 0) {
        click(selected);
        flush_keys();
        flush_mouse();
    }

    set_color(255, 255, 255);
    draw3d->sip(blend_mask, 1.0f, 0, 1.0f, 1.0f);
    draw3d->i3d(img_pointer, static_cast<float>(px), static_cast<float>(py), 0, 4.0f, 0, 2);
}
