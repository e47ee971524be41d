#include "objects/star3d_tag.h"

#include <algorithm>

#include "game/globals.h"
#include "media/draw_state.h"

int star3d_tag::shoot_it(float x, float y, int style) {
    auto burst = std::make_shared<star3d_tag>();
    burst->x = x;
    burst->y = y;
    burst->frame = style;
    burst->sc = 1.0f;
    burst->al = 1.0f;
    burst->offs = 0.0f;
    stars.push_back(std::move(burst));
    return 0;
}

int star3d_tag::update() {
    media::set_color(255, 255, 255);
    draw3d->sip(media::blend_light, al, static_cast<float>(glow_ang), sc, sc);
    draw3d->i3d(img_star, x, y, frame, offs, 0, 2);
    draw3d->sip(media::blend_light, 1.0f, 0, 1.0f, 1.0f);
    al -= 0.02f;
    sc += 0.06f;
    offs += 0.6f;
    if (!(al > 0.0f)) {
        auto self = std::find_if(stars.begin(), stars.end(),
                                 [this](const auto& s) { return s.get() == this; });
        if (self != stars.end()) stars.erase(self);
    }
    return 0;
}

int star3d_tag::update_all() {
    for (auto it = stars.begin(); it != stars.end();) {
        auto next = std::next(it);
        std::shared_ptr<star3d_tag> burst = *it;  // stays alive while it removes itself
        burst->update();
        it = next;
    }
    return 0;
}

int star3d_tag::destroy_all() {
    stars.clear();
    return 0;
}
