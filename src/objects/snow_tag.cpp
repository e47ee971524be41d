#include "objects/snow_tag.h"

#include <array>

#include "game/globals.h"
#include "media/clock.h"
#include "media/draw_state.h"

namespace {

struct depth_class {
    float sc, ystp, offs;
};
constexpr std::array<depth_class, 4> depth_classes = {{
    {1.0f, 4.0f, 8.0f},
    {0.8f, 3.0f, 2.0f},
    {0.4f, 2.0f, -4.0f},
    {0.2f, 1.0f, -8.0f},
}};

}  // namespace

int snow_tag::start_storm() {
    for (auto& slot : flakes) {
        slot = std::make_shared<snow_tag>();
        snow_tag& f = *slot;
        f.x = static_cast<float>(media::random_float(5.0, 635.0));
        f.y = static_cast<float>(media::random_float(10.0, 480.0));
        const depth_class& d = depth_classes[static_cast<int>(media::random_float(4.0, 0.0))];
        f.sc = d.sc;
        f.ystp = d.ystp;
        f.offs = d.offs;
    }
    return 0;
}

int snow_tag::snowing() {
    media::set_color(255, 255, 255);
    draw3d->sip(media::blend_mask, 1.0f, 0, sc, sc);
    draw3d->i3d(img_flake, x, y, 0, offs, 0, 2);
    y += ystp;
    if (game_state == gs_play) x += static_cast<float>(scroll_spd) * sc;
    if (x < -10.0f) x = 650.0f;
    if (x > 650.0f) x = -10.0f;
    if (y > 480.0f) {
        x = static_cast<float>(media::random_float(5.0, 635.0));
        y = -10.0f;
    }
    media::set_scale(1.0f, 1.0f);
    return 0;
}

int snow_tag::update_storm() {
    for (auto& f : flakes) f->snowing();
    return 0;
}
