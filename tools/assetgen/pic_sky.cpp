// The night sky behind everything. The game shows it at 60 % over black, so
// the stars, the moon and the aurora are pitched brighter than they look here.
#include <cmath>

#include "noise.h"
#include "pictures.h"

namespace ag {
namespace {

constexpr int W = 640, H = 480;
constexpr float moon_x = 112, moon_y = 84, moon_r = 27;

rgb sky_gradient(float y) {
    struct stop {
        float y;
        rgb c;
    };
    // The pale band sits where the sky meets the ridges. Lower down only the
    // tree line of the logo intro and the stereo mode see the sky (stereo adds
    // every layer up), so it sinks to almost nothing behind the snow.
    static const stop stops[] = {{0, hex(0x070d22)},   {120, hex(0x12254d)}, {200, hex(0x2b4f86)},
                                 {255, hex(0x6f8fc0)}, {285, hex(0x3d5a8e)}, {315, hex(0x18284e)},
                                 {345, hex(0x080f24)}, {380, hex(0x03060e)}, {480, hex(0x010102)}};
    for (size_t i = 0; i + 1 < std::size(stops); ++i) {
        if (y <= stops[i + 1].y) {
            float t = (y - stops[i].y) / (stops[i + 1].y - stops[i].y);
            return mix(stops[i].c, stops[i + 1].c, smooth(0, 1, t));
        }
    }
    return stops[std::size(stops) - 1].c;
}

// Curtains of light that hang from a wavy upper edge and fade downwards.
rgb aurora(float x, float y) {
    rgb sum;
    struct band {
        float base, amp, freq, phase, height;
        rgb low, high;
        float strength;
    };
    static const band bands[] = {
        {70, 26, 0.011f, 0.6f, 70, hex(0x3fe0c5), hex(0x9b7bff), 0.30f},
        {112, 18, 0.017f, 2.1f, 52, hex(0x8cffc8), hex(0x3fe0c5), 0.22f},
    };
    for (const band& b : bands) {
        float edge = b.base + b.amp * std::sin(x * b.freq + b.phase) +
                     9.0f * std::sin(x * b.freq * 2.7f + b.phase * 3.0f);
        float d = edge - y;  // positive above the lower edge
        if (d < -4 || d > b.height) continue;
        float lower = smooth(-4, 5, d);
        float upper = 1.0f - smooth(b.height * 0.25f, b.height, d);
        float rays = 0.55f + 0.45f * fbm(x * 0.09f, 0.3f, 77, 3);
        float fade_x = smooth(180, 330, x) * (1.0f - smooth(600, 660, x));
        float k = lower * upper * rays * fade_x * b.strength;
        rgb c = mix(b.low, b.high, smooth(0, b.height, d));
        sum = sum + c * k;
    }
    return sum;
}

rgb moon_light(float x, float y) {
    float dx = x - moon_x, dy = y - moon_y;
    float d = std::sqrt(dx * dx + dy * dy);
    rgb glow = hex(0x9fb4d8) * (0.55f * std::exp(-(d - moon_r) / 38.0f) * (d > moon_r));
    glow = glow + hex(0x6f8fc0) * (0.25f * std::exp(-d / 150.0f));
    if (d > moon_r + 1) return glow;
    // The disc: lit from the side away from the sky's pale horizon, with faint maria.
    float cover = clamp01(moon_r + 0.5f - d);
    float nx = dx / moon_r, ny = dy / moon_r;
    float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    float shade = 0.78f + 0.22f * (-0.4f * nx - 0.4f * ny + 0.8f * nz);
    float maria = fbm(x * 0.11f, y * 0.11f, 9, 3);
    rgb disc = mix(hex(0xf4f8ff), hex(0xcdd7ee), smooth(0.45f, 0.7f, maria)) * shade;
    return mix(glow, disc, cover);
}

}  // namespace

image8 draw_background() {
    canvas c(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            rgb v = sky_gradient(fy);
            // A faint band of distant stars across the sky gives it depth.
            float band = std::exp(-std::pow((fy - 0.32f * fx - 30) / 60.0f, 2.0f));
            float haze = fbm(fx * 0.012f, fy * 0.02f, 5, 5);
            v = v + hex(0x2b4f86) * (band * smooth(0.35f, 0.8f, haze) * 0.35f);
            v = v + aurora(fx, fy);
            v = v + moon_light(fx, fy);
            // Behind the snow even the glows die away: nothing here for stereo to add.
            v = mix(v, hex(0x010102), smooth(275, 340, fy));
            float* p = c.at(x, y);
            p[0] = v.r, p[1] = v.g, p[2] = v.b, p[3] = 1;
        }
    }
    // Stars: many faint ones, fewer bright ones with a small cross of light.
    rng r(2024);
    for (int i = 0; i < 420; ++i) {
        float x = r.range(0, W), y = std::pow(r.uniform(), 1.6f) * 360.0f;
        float b = std::pow(r.uniform(), 3.0f);
        float dx = x - moon_x, dy = y - moon_y;
        if (dx * dx + dy * dy < (moon_r + 14) * (moon_r + 14)) continue;
        float horizon = 1.0f - smooth(250, 340, y) * 0.9f;
        rgb tint = mix(hex(0xf4f8ff), r.uniform() < 0.5f ? hex(0xffe6b8) : hex(0xbfd4ff),
                       r.uniform() * 0.6f);
        float k = (0.25f + 0.75f * b) * horizon;
        int ix = int(x), iy = int(y);
        c.add(ix, iy, tint * (k * 1.2f));
        if (b > 0.35f) {
            float arm = k * 0.45f;
            c.add(ix - 1, iy, tint * arm), c.add(ix + 1, iy, tint * arm);
            c.add(ix, iy - 1, tint * arm), c.add(ix, iy + 1, tint * arm);
        }
        if (b > 0.75f) {
            float arm = k * 0.2f;
            c.add(ix - 2, iy, tint * arm), c.add(ix + 2, iy, tint * arm);
            c.add(ix, iy - 2, tint * arm), c.add(ix, iy + 2, tint * arm);
        }
    }
    return to_rgb8(c, false);
}

}  // namespace ag
