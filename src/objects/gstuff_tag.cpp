#include "objects/gstuff_tag.h"

#include "game/globals.h"
#include "media/clock.h"
#include "media/collision.h"
#include "media/draw_state.h"
#include "objects/star3d_tag.h"

namespace {

enum kind_frame : int { present_frame = 0, warper_frame = 1, bomb_frame = 4 };

float drift_for_speed(int spd) {
    switch (spd) {
        case -2:
            return 3.0f;
        case -10:
            return 6.0f;
        case -20:
            return 9.0f;
        default:
            return 0.0f;
    }
}

int glow_frame(int frame) {
    return frame == present_frame ? 0 : frame == warper_frame ? 1 : 2;
}

// The last two finished gifts of a round stay quiet.
void play_if_not_last(const media::sound_ref& snd) {
    if (stuff_done < 49) play_sound_effect(snd);
}

}  // namespace

int gstuff_tag::new_stuff(int create) {
    gifts_total = 0;
    gifts_got = 0;
    for (int i = 0; i < static_cast<int>(stuff.size()); ++i) {
        if (create != 0) stuff[i] = std::make_shared<gstuff_tag>();
        gstuff_tag& g = *stuff[i];
        g.dead = 0;
        g.x = static_cast<float>(2200 + 600 * i);
        g.y = static_cast<float>(media::random_float(60.0, 260.0));
        const int kind = static_cast<int>(media::random_float(3.0, 0.0));
        g.f_ctr = 0;
        g.f_tmr = 0;
        if (kind == 0) {
            ++gifts_total;
            g.frame = present_frame;
            g.m_frm = 0;
            g.m_tmr = 0;
        } else if (kind == 1) {
            g.frame = warper_frame;
            g.m_frm = 2;
            g.m_tmr = 10;
        } else {
            g.frame = bomb_frame;
            g.m_frm = 3;
            g.m_tmr = 4;
        }
    }
    return 0;
}

int gstuff_tag::update() {
    if (dead != 0) return 0;
    ++f_tmr;
    x -= drift_for_speed(scroll_spd);
    if (f_tmr > m_tmr) {
        f_tmr = 0;
        if (++f_ctr > m_frm) f_ctr = 0;
    }

    if (x > -56.0f && x < 656.0f) {
        media::set_color(255, 255, 255);
        draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);
        media::draw_image(img_stuff, x, y, frame + f_ctr);
        draw3d->sip(media::blend_light, 1.0f, static_cast<float>(glow_ang), 1.0f, 1.0f);
        media::draw_image(img_star, x, y, glow_frame(frame));
        draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);
    }
    if (x < -56.0f) {
        ++stuff_done;
        dead = 1;
    }
    if (!(x > 40.0f && x < 600.0f)) return 0;

    player_tag& p = *player;
    if (media::images_collide(img_player, static_cast<int>(p.x), static_cast<int>(p.y), p.a_ctr,
                              img_stuff, static_cast<int>(x), static_cast<int>(y), frame) == 0) {
        return 0;
    }
    if (frame == present_frame) {
        dead = 1;
        ++stuff_done;
        ++gifts_got;
        p.level += 2;
        p.score += 100;
        star3d_tag::shoot_it(x, y, 0);
        play_if_not_last(snd_present);
    } else if (x > p.x && frame == warper_frame) {
        dead = 1;
        spd_ctr = 0;
        ++stuff_done;
        p.level += 5;
        p.score += 50;
        star3d_tag::shoot_it(x, y, 1);
        sceenery_tag::reset();
        scroll_spd = -20;
        play_if_not_last(snd_warper);
    } else if (x > p.x && frame == bomb_frame) {
        dead = 1;
        scroll_spd = 0;
        ++stuff_done;
        p.a_tmr = 0;
        p.level -= 10;
        p.score -= 100;
        star3d_tag::shoot_it(x, y, 2);
        if (p.score < 0) p.score = 0;
        play_if_not_last(snd_bomb);
    }
    return 0;
}

int gstuff_tag::update_all() {
    glow_ang += 2;
    for (auto& g : stuff) g->update();
    return 0;
}

int gstuff_tag::destroy_stuff() {
    for (auto& g : stuff) g->dead = 1;
    return 0;
}
