#include "objects/sceenery_tag.h"

#include "game/globals.h"
#include "media/draw_state.h"

namespace {

void scroll(int& left, int step) {
    left += step;
    if (left <= -640) left = 640;
}

}  // namespace

int sceenery_tag::reset() {
    scenery->bm1x = 0;
    scenery->bm2x = 640;
    scenery->grd1x = 0;
    scenery->grd2x = 640;
    return 0;
}

int sceenery_tag::update() {
    const int half = scroll_spd / 2;
    media::set_color(255, 255, 255);
    scroll(grd1x, scroll_spd);
    scroll(grd2x, scroll_spd);
    scroll(bm1x, half);
    scroll(bm2x, half);
    draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.5f);
    draw3d->i3d(img_mts1, static_cast<float>(bm1x), 100.0f, 0, -4.0f, 0, 2);
    draw3d->i3d(img_mts2, static_cast<float>(bm2x), 100.0f, 0, -4.0f, 0, 2);
    draw3d->sip(media::blend_mask, 1.0f, 0, 1.0f, 1.0f);
    draw3d->i3d(img_grd1, static_cast<float>(grd1x), 280.0f, 0, 2.0f, 0, 2);
    draw3d->i3d(img_grd2, static_cast<float>(grd2x), 280.0f, 0, 2.0f, 0, 2);
    return 0;
}
