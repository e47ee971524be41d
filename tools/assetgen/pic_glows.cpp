// Glows behind the gifts and the star bursts. They are added onto the screen,
// so the light fades out to pure black well inside the frame, and the middle
// stays soft enough for the gift to show through.
#include <cmath>

#include "pictures.h"

namespace ag {

image8 draw_star_frame(int frame) {
    constexpr int size = 112;
    constexpr float c = 56.0f, edge = 53.0f;
    const rgb colours[] = {hex(0xffd86b), hex(0x6ff0ff), hex(0xff5a4a)};
    const int rays[] = {4, 6, 8};
    rgb tint = colours[frame];
    canvas img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = float(x) + 0.5f - c, dy = float(y) + 0.5f - c;
            float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            float fade = 1.0f - smooth(edge * 0.55f, edge, r);
            // A halo ring round a dimmer middle.
            float halo = 0.32f * std::exp(-std::pow((r - 13.0f) / 10.0f, 2.0f)) +
                         0.12f * std::exp(-r / 16.0f);
            // Star rays; the bomb's are ragged, the warper's thin.
            float n = float(rays[frame]);
            float ray = std::pow(std::fabs(std::cos(a * n * 0.5f)), frame == 1 ? 60.0f : 24.0f);
            float minor = std::pow(std::fabs(std::cos(a * n * 0.5f + 1.5708f)), 40.0f);
            float ray_len = frame == 2 ? 30.0f + 12.0f * std::fabs(std::sin(a * 3.0f)) : 34.0f;
            float rays_light = (ray * 0.55f * std::exp(-r / ray_len) +
                                minor * 0.25f * std::exp(-r / (ray_len * 0.5f))) *
                               smooth(3, 10, r);
            float k = (halo + rays_light) * fade;
            rgb col = mix(tint, hex(0xffffff), 0.35f * std::exp(-r / 12.0f)) * (k * 1.4f);
            float* p = img.at(x, y);
            p[0] = col.r, p[1] = col.g, p[2] = col.b, p[3] = 1;
        }
    }
    return to_rgb8(img, true);
}

}  // namespace ag
