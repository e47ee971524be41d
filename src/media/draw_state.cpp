// The one drawing state; every draw reads it, only these setters change it.
#include "media/draw_state.h"

#include <algorithm>

namespace media {

namespace {
draw_state& state() {
    static draw_state s;
    return s;
}
}  // namespace

void set_color(int r, int g, int b) {
    state().r = std::clamp(r, 0, 255);
    state().g = std::clamp(g, 0, 255);
    state().b = std::clamp(b, 0, 255);
}

// Written so that NaN ends up as 0 too.
void set_alpha(float a) {
    state().alpha = a >= 1.0f ? 1.0f : (a > 0.0f ? a : 0.0f);
}

void set_blend(int mode) {
    if (mode >= blend_mask && mode <= blend_shade) state().blend = mode;
}

void set_rotation(float degrees) {
    state().rotation = degrees;
}

float get_rotation() {
    return state().rotation;
}

void set_scale(float sx, float sy) {
    state().sx = sx;
    state().sy = sy;
}

void set_transform(float degrees, float sx, float sy) {
    set_rotation(degrees);
    set_scale(sx, sy);
}

const draw_state& current_draw_state() {
    return state();
}

void reset_draw_state() {
    state() = draw_state{};
}

}  // namespace media
