// The mountain band: two snow-capped ranges, the far one paler with haze.
// It is drawn in screen proportions (1280 x 384) and squeezed to 256 rows,
// because the game stretches it 1.5 times vertically. Everything repeats every
// 1280 pixels, so the two halves join in either order.
#include <cmath>
#include <vector>

#include "noise.h"
#include "pictures.h"
#include "scenery.h"

namespace ag {
namespace {

constexpr int band_w = 1280, band_h = 384;  // in screen pixels
constexpr int ss = 2;                       // canvas pixels per screen pixel
constexpr int foot_row = 190;               // screen y 385, well under the ground's drifts
// The valley floor sinks into the night between these band rows (screen y 270 and 345,
// above the far drift of the ground), so the stereo mode, which adds the layers up,
// finds almost nothing of the band behind the snow and no edge at its foot.
constexpr float dusk_top = 170, dusk_bottom = 245;
const rgb valley_floor = hex(0x010103);

struct peak {
    float x, top, width, height;
};

// Noise along the band that repeats with it; `cell` must divide the band width.
float band_noise(float x, float y, float cell, uint32_t seed, int octaves) {
    return fbm(x / cell, y, seed, octaves, int(band_w / cell));
}

// Horizontal distance on the repeating band.
float wrap_dx(float x, float px) {
    float d = std::fmod(x - px + band_w * 1.5f, float(band_w)) - band_w * 0.5f;
    return d;
}

struct range {
    std::vector<peak> peaks;
    uint32_t seed;
    float jag;

    // Ridge height (screen y) at x, and which peak made it.
    float ridge(float x, int* which) const {
        float best = 1e9f;
        for (size_t i = 0; i < peaks.size(); ++i) {
            const peak& p = peaks[i];
            float d = std::fabs(wrap_dx(x, p.x));
            float y = p.top + p.height * (1.0f - std::exp(-d / p.width));
            if (y < best) best = y, *which = int(i);
        }
        float n = band_noise(x, 0.5f, 40, seed, 4) - 0.5f;
        float fine = band_noise(x, 3.5f, 8, seed + 9, 1) - 0.5f;
        return best + n * jag + fine * 2.0f;
    }
};

struct look {
    rgb rock_lit, rock_dark, snow_lit, snow_dark, haze;
    float haze_top, haze_bottom, snow_depth;
};

void paint_range(canvas& c, const range& r, const look& k) {
    for (int cx = 0; cx < c.w; ++cx) {
        float x = (float(cx) + 0.5f) / ss;
        int which = 0;
        float top = r.ridge(x, &which);
        const peak& p = r.peaks[size_t(which)];
        float dx = wrap_dx(x, p.x);
        for (int cy = 0; cy < c.h; ++cy) {
            float y = (float(cy) + 0.5f) / ss;
            if (y < top) continue;
            float below = y - top;
            // Gullies and spurs radiate from the summit.
            float ang = std::atan2(dx, std::max(y - p.top, 1.0f) * 1.2f);
            float spur = fbm(ang * 9.0f + float(which) * 5.0f, below / 90.0f, r.seed + 3, 3);
            bool lit_face = dx + (spur - 0.5f) * 40.0f < 0;
            float light = lit_face ? 0.6f + 0.4f * spur : 0.1f + 0.35f * spur;
            // Snow lingers on the spurs and thins out lower down.
            float line = k.snow_depth * (0.55f + 0.9f * spur) *
                         (0.7f + 0.6f * band_noise(x, 1.0f, 20, r.seed + 5, 2));
            bool snow = below < line || (below < line * 2.0f && spur > 0.7f);
            rgb col = snow ? mix(k.snow_dark, k.snow_lit, clamp01(light))
                           : mix(k.rock_dark, k.rock_lit, clamp01(light * 0.9f));
            // A bright rim where the moonlit side meets the sky.
            if (below < 1.6f && lit_face) col = mix(col, hex(0xf4f8ff), 0.6f);
            float haze = smooth(k.haze_top, k.haze_bottom, y);
            col = mix(col, k.haze, haze);
            col = mix(col, valley_floor, smooth(dusk_top, dusk_bottom, y));
            c.put(cx, cy, col, 1.0f);
        }
    }
}

// A dark line of far-off pines along the foot of the mountains, fading into the valley.
void paint_forest(canvas& c) {
    for (int cx = 0; cx < c.w; ++cx) {
        float x = (float(cx) + 0.5f) / ss;
        float rows = 226.0f + 10.0f * band_noise(x, 2.0f, 80, 41, 3);
        // Little tree tips every few pixels.
        float cell = std::fmod(x, 8.0f);
        float tip =
            9.0f * (1.0f - std::fabs(cell - 4.0f) / 4.0f) * (0.4f + hashf(int(x / 8.0f), 0, 43));
        float top = rows - tip;
        for (int cy = 0; cy < c.h; ++cy) {
            float y = (float(cy) + 0.5f) / ss;
            if (y < top) continue;
            rgb col = mix(hex(0x22385a), valley_floor, smooth(top, dusk_bottom, y));
            c.put(cx, cy, col, 1.0f);
        }
    }
}

canvas mountain_band() {
    canvas hi(band_w * ss, band_h * ss);
    hi.wrap_x = true;
    // Main summits with lower shoulders beside them, so no two look alike.
    range far{{{60, 46, 120, 230},
               {150, 96, 70, 160},
               {270, 80, 110, 200},
               {430, 36, 140, 250},
               {520, 88, 80, 170},
               {660, 70, 115, 210},
               {820, 50, 130, 235},
               {905, 104, 60, 140},
               {1010, 66, 110, 215},
               {1170, 86, 100, 190}},
              11,
              14};
    range near{{{130, 136, 95, 180},
                {215, 166, 55, 120},
                {350, 150, 85, 160},
                {560, 126, 105, 190},
                {640, 170, 50, 110},
                {760, 150, 90, 165},
                {940, 138, 95, 175},
                {1050, 172, 50, 100},
                {1130, 128, 100, 185},
                {1250, 160, 70, 140}},
               23,
               10};
    look far_look{hex(0x6a7bab), hex(0x3a4a74), hex(0xd4e0f6), hex(0x8196c2),
                  hex(0x40598a), 140,           320,           20};
    look near_look{hex(0x52628e), hex(0x28334f), hex(0xe6eeff), hex(0x93a8d2),
                   hex(0x34497a), 190,           350,           16};
    paint_range(hi, far, far_look);
    paint_range(hi, near, near_look);
    paint_forest(hi);
    tone_layer(hi, 1.0f, 0.95f);
    // The band is squeezed to 256 rows: 3 canvas rows become 1.
    canvas lo = outline(downsample(hi, ss, ss * 3 / 2), 0.3f, hex(0x0b1224), false);
    // The ground always covers the foot of the band; leaving it empty keeps
    // the stereo mode, which adds the layers up, from washing out there.
    for (int y = foot_row; y < lo.h; ++y)
        for (int x = 0; x < lo.w; ++x) lo.at(x, y)[3] = 0;
    return lo;
}

}  // namespace

image8 draw_mountains(int half) {
    static const canvas band = mountain_band();
    return to_mask_rgb8(band).crop(640 * half, 0, 640, 256);
}

}  // namespace ag
