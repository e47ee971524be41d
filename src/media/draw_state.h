// The one drawing state of the process. Every drawing operation reads it; a value stays
// until it is set again. open_graphics puts it to white, alpha 1, mask blend, rotation 0,
// scale 1 x 1.
#pragma once

namespace media {

enum blend_mode : int {
    blend_mask = 1,
    blend_solid = 2,
    blend_alpha = 3,
    blend_light = 4,
    blend_shade = 5
};

void set_color(int r, int g, int b);  // 0..255 each, multiplies what is drawn
void set_alpha(float a);              // clamped to 0..1
void set_blend(int mode);             // one of blend_mode
void set_rotation(float degrees);     // clockwise on screen
float get_rotation();
void set_scale(float sx, float sy);
void set_transform(float degrees, float sx, float sy);

struct draw_state {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    int blend = blend_mask;
    float rotation = 0.0f;
    float sx = 1.0f, sy = 1.0f;
};
const draw_state& current_draw_state();
void reset_draw_state();

}  // namespace media
