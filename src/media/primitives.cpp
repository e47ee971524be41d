// Rectangles and lines: quads of the renderer's white texture, so they batch with each
// other. They follow the colour, alpha and blend, not the rotation and scale.
#include "media/primitives.h"

#include <cmath>
#include <utility>

#include "media/draw_state.h"
#include "media/image_data.h"

namespace media {

namespace {

backend::vertex* quad(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                      float y3, unsigned texture = backend::white_texture(),
                      int blend = current_draw_state().blend) {
    backend::vertex* q = backend::push_quads(texture, blend, 1);
    if (!q) return nullptr;
    const placement flat;
    fill_quad(q, flat, 0, 0, 1, 1, 0, 0, 1, 1);
    const float xs[4] = {x0, x1, x2, x3}, ys[4] = {y0, y1, y2, y3};
    for (int k = 0; k < 4; ++k) {
        q[k].x = xs[k];
        q[k].y = ys[k];
    }
    return q;
}

}  // namespace

void draw_rect(float x, float y, float width, float height) {
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    if (width == 0 || height == 0) return;
    quad(x, y, x + width, y, x + width, y + height, x, y + height);
}

// A point (x, y) means the pixel whose square starts there. The line is the band one
// pixel thick along its longer axis; without the last pixel it stops short of the end.
void draw_line(float x1, float y1, float x2, float y2, int last_pixel) {
    const float dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0) {
        if (last_pixel) draw_rect(x1, y1, 1, 1);
        return;
    }
    if (std::fabs(dx) >= std::fabs(dy)) {
        const float step = dx > 0 ? 1.0f : -1.0f;
        float xa = x1, xb = last_pixel ? x2 + step : x2;
        float ya = y1, yb = y1 + (xb - x1) * dy / dx;
        // Shift so the band covers [x, x + 1) of each column it passes.
        if (step < 0) xa += 1, xb += 1;
        if (xa > xb) std::swap(xa, xb), std::swap(ya, yb);
        quad(xa, ya, xb, yb, xb, yb + 1, xa, ya + 1);
    } else {
        const float step = dy > 0 ? 1.0f : -1.0f;
        float ya = y1, yb = last_pixel ? y2 + step : y2;
        float xa = x1, xb = x1 + (yb - y1) * dx / dy;
        if (step < 0) ya += 1, yb += 1;
        if (ya > yb) std::swap(xa, xb), std::swap(ya, yb);
        quad(xa, ya, xa + 1, ya, xb + 1, yb, xb, yb);
    }
}

void fill_alternate_rows(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const auto x0 = float(x), y0 = float(y), x1 = float(x + width), y1 = float(y + height);
    backend::vertex* q =
        quad(x0, y0, x1, y0, x1, y1, x0, y1, backend::alternate_rows_texture(), blend_mask);
    if (!q) return;
    // Half a texel a row: each row's centre lies a quarter texel from an edge, so no
    // rounding picks the texel.
    q[2].v = q[3].v = float(height) / 2;
    for (int k = 0; k < 4; ++k) q[k].a = 255;  // a faint alpha would mask the rows away
}

}  // namespace media
