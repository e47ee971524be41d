#include "noise.h"
#include "scenery.h"

namespace ag {

void draw_pine(pen& p, float x, float base, float height, uint32_t seed, float haze) {
    rgb needle_lit = mix(hex(0x2e5a4f), hex(0x5d7fa0), haze);
    rgb needle_dark = mix(hex(0x1d3b3a), hex(0x4a6690), haze);
    rgb snow_lit = hex(0xf4f8ff);
    rgb snow_dark = mix(hex(0x9fb4d8), hex(0xb8c8e6), haze);
    float trunk_w = std::max(1.5f, height * 0.05f);
    p.rect(x - trunk_w, base - height * 0.2f, x + trunk_w, base + 2,
           mix(hex(0x3b2a26), hex(0x5d6f94), haze));
    int tiers = height > 60 ? 5 : height > 30 ? 4 : 3;
    float tip = base - height;
    float half_w = height * 0.33f;
    for (int t = 0; t < tiers; ++t) {
        // Tiers overlap, each wider and lower than the one above.
        float k0 = float(t) / float(tiers), k1 = float(t + 1) / float(tiers);
        float top = tip + (base - tip) * k0 * 0.78f;
        float bottom = tip + (base - tip) * (0.25f + k1 * 0.65f);
        float w = half_w * (0.35f + 0.65f * k1) * (0.9f + 0.2f * hashf(int(seed), t, 7));
        float th = bottom - top;
        auto inside = [=](float px, float py) {
            if (py < top || py > bottom + 2.5f) return false;
            float k = (py - top) / th;
            // Droopy bough tips along the bottom edge.
            float edge = w * std::min(k, 1.0f);
            float dx = std::fabs(px - x);
            if (dx > edge) return false;
            float scallop = 2.5f * std::fabs(std::sin((px - x) / w * 5.0f + float(t)));
            return py <= bottom + 2.5f - scallop;
        };
        auto shade = [=](float px, float py) -> ink {
            float k = (py - top) / th;
            float upper = top + th * std::fabs(px - x) / w;  // upper edge at px
            float side = (px - x) / w;                       // -1 left .. 1 right
            float snow_t = th * (0.42f - 0.22f * side) *
                           (0.75f + 0.5f * value_noise(px * 0.5f, float(t), seed));
            if (py - upper < snow_t) {
                return {mix(snow_lit, snow_dark, smooth(-0.6f, 0.9f, side) * 0.9f), 1};
            }
            return {mix(needle_lit, needle_dark, smooth(-0.8f, 0.6f, side) * 0.7f + k * 0.3f), 1};
        };
        p.region(x - w, top, x + w, bottom + 3, inside, shade);
    }
}

}  // namespace ag
