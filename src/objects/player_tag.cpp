#include "objects/player_tag.h"

#include "game/globals.h"
#include "media/draw_state.h"
#include "media/input.h"
#include "objects/gstuff_tag.h"
#include "objects/sceenery_tag.h"

int player_tag::reset(int full) {
    player_tag& p = *player;
    if (full != 0) {
        scroll_spd = -20;
        p.score = 0;
        p.level = 60;
        p.lives = 0;
        p.new_bs = 0;
        gstuff_tag::new_stuff(0);
    }
    stuff_done = 0;
    sceenery_tag::reset();
    round_phase = 0;
    p.x = -202.0f;
    p.y = 200.0f;
    return 0;
}

int player_tag::update() {
    media::set_color(255, 255, 255);
    ++a_tmr;
    if (scroll_spd == 0) {  // stunned: sinks, and the stun timer runs at double speed
        a_ctr = 0;
        frame = 2;
        ++a_tmr;
        y += 1.0f;
        if (a_tmr > 250) {
            a_tmr = 0;
            scroll_spd = -2;
        }
        draw3d->sip(media::blend_alpha, 1.0f, rotation, 0.8f, 0.8f);
    } else if (scroll_spd < -10) {  // boost
        frame = 3;
        if (a_tmr > 5) {
            a_tmr = 0;
            a_ctr = 1 - a_ctr;
        }
        draw3d->sip(media::blend_alpha, 0.6f, rotation, 0.8f, 0.8f);
    } else {
        frame = 0;
        if (a_tmr > 20) {
            a_tmr = 0;
            a_ctr = 1 - a_ctr;
        }
        draw3d->sip(media::blend_mask, 1.0f, rotation, 0.8f, 0.8f);
    }
    const float lift = a_ctr == 1 ? 2.0f : 0.0f;
    media::draw_image(img_player, x, y - lift, frame + a_ctr);
    draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);

    if (rotation > 0.0f) {
        rotation -= 1.0f;
        if (!(rotation > 0.0f)) rotation = 0.0f;
    }
    if (rotation < 0.0f) {
        rotation += 1.0f;
        if (!(rotation < 0.0f)) rotation = 0.0f;
    }
    return 0;
}

namespace {

// A held finger steers by where it is against the sprite's centre. Over the sprite itself
// (0.8 of its 82 pixels) it holds, so a finger resting on it does not jitter.
constexpr float finger_dead_band = 33.0f;

}  // namespace

int player_tag::get_inputs() {
    const float step = scroll_spd < -9 ? static_cast<float>(scroll_spd / 2) : -4.0f;
    int finger_x = 0, finger_y = 0;
    const bool finger = media::touch_held(finger_x, finger_y);
    const bool finger_above = finger && static_cast<float>(finger_y) < y - finger_dead_band;
    const bool finger_below = finger && static_cast<float>(finger_y) > y + finger_dead_band;
    if (frame != 2) {
        if (media::key_down(38) != 0 || media::joy_y(0) == joy_lim[2] || finger_above) {
            y += step;
            rotation -= 2.0f;
            if (rotation < -15.0f) rotation = -15.0f;
        }
        if (media::key_down(40) != 0 || media::joy_y(0) == joy_lim[3] || finger_below) {
            y -= step;
            rotation += 2.0f;
            if (rotation > 15.0f) rotation = 15.0f;
        }
    }
    if (y < 60.0f) y = 60.0f;
    if (y > 260.0f) y = 260.0f;
    return 0;
}

int player_tag::flush_inputs() {
    // Reading the pad's hit counters empties them; a held button makes no new press until
    // it is let go, so nothing here has to wait for it.
    media::joy_hit(0, 0);
    media::joy_hit(1, 0);
    media::flush_keys();
    media::flush_mouse();
    return 0;
}
