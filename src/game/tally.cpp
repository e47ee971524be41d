// The end-of-round tally: how the round ended, the bonuses, the final score and the
// high-score verdict; after 250 frames fire returns to the title, or it leaves at 6000.
#include "game/globals.h"
#include "game/screens.h"
#include "game/tally_page.h"
#include "media/assets.h"
#include "media/draw_state.h"
#include "media/input.h"

using namespace media;

namespace {

void draw_page() {
    int r = -1, g = -1, b = -1;
    float scale = -1.0f;
    for (const tally_line& line : tally_page()) {
        if (line.r != r || line.g != g || line.b != b) {
            r = line.r;
            g = line.g;
            b = line.b;
            set_color(r, g, b);
        }
        if (line.scale != scale) {
            scale = line.scale;
            draw3d->sip(blend_alpha, 1.0f, 0, scale, scale);
        }
        draw3d->t3d(line.text, 320.0f, line.y, 4.0f, 1, 2);
    }
    // A completed page ends at scale 1.0; the time-up page keeps its 1.2.
    if (tally_won != 0) draw3d->sip(blend_alpha, 1.0f, 0, 1.0f, 1.0f);
}

bool fire_pressed() {
    return key_hit(162) != 0 || mouse_hit(1) != 0 || mouse_hit(2) != 0 || joy_hit(0, 0) != 0 ||
           key_hit(13) != 0;
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
    draw_page();
    if (tally_tmr > 250) {
        if (fire_pressed()) tally_tmr = 6000;
    } else {
        player->flush_inputs();
    }
    if (tally_tmr >= 6000) leave();
}
