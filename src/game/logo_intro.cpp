// The studio logo over the night sky: after three seconds the flyer climbs at the logo,
// crashes into it, tumbles and fades out with it. Escape, Space, a click or pad button 0
// skips it. The title music starts here and plays on into the title menu.
#include "game/game.h"
#include "game/globals.h"
#include "game/screens.h"
#include "media/assets.h"
#include "media/clock.h"
#include "media/display.h"
#include "media/draw_state.h"
#include "media/input.h"
#include "media/log.h"

using namespace media;

namespace {

struct flyer {
    float fade = 1.0f;
    float size = 1.0f;
    float x = -150.0f;
    float y = 260.0f;
    float depth = 8.0f;
    int spin = 345;
    int frame = 0;
    int cycle = 0;
    bool crashed = false;

    void step() {
        if (crashed) {
            frame = 2;
            spin -= 1;
            y += 2.0f;
            fade -= 0.01f;
            size -= 0.001f;
            return;
        }
        x += static_cast<float>(sin_deg(55) * 2.0);
        y -= static_cast<float>(cos_deg(55) * 1.0);
        if (x > 150.0f) {
            x = 150.0f;
            crashed = true;
            play_sound_effect(snd_logohit);
        }
        depth -= 0.07f;
        size -= 0.003f;
        if (++cycle == 20) {
            cycle = 0;
            frame = 1 - frame;
        }
    }
};

bool skip_pressed() {
    return key_hit(27) != 0 || key_hit(32) != 0 || mouse_hit(1) != 0 || joy_hit(0, 0) != 0;
}

}  // namespace

int logo_intro() {
    image_ref logo = load_image("qblogo.png");
    if (!logo) fatal_error("the game's picture qblogo.png is missing or damaged");
    mid_handle_image(logo);
    start_music(1);

    flyer f;
    int frames = 0;
    do {
        draw_backdrop();
        set_color(255, 255, 255);
        draw3d->sip(blend_alpha, f.fade, 0, 0.8f, 0.8f);
        draw3d->i3d(logo, 320.0f, 150.0f, 0, -4.0f, 0, 2);
        draw3d->sip(blend_alpha, f.fade, static_cast<float>(f.spin), f.size, f.size);
        if (++frames > 180) {
            f.step();
            draw3d->i3d(img_player, f.x, f.y, f.frame, f.depth, 0, 3);
        }
        draw3d->sip(blend_mask, 1.0f, 0, 1.0f, 1.0f);
        draw3d->i3d(img_grd1, 0, 280.0f, 0, 2.0f, 0, 2);
        snow_tag::update_storm();
        flip(-1);
        while (app_suspended() != 0) {
        }
        if (app_terminate() != 0) {
            quit_game = 1;
            break;
        }
        if (skip_pressed()) break;
    } while (!(f.y > 380.0f));

    set_color(255, 255, 255);
    draw3d->sip(blend_mask, 1.0f, 0, 1.0f, 1.0f);
    flush_keys();
    flush_mouse();
    return 0;
}
