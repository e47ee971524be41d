// The snowy foreground: rolling drifts, pines, a lit cabin and a snowman.
// One 1280-pixel band that repeats; the two pictures are its halves.
#include <cmath>

#include "pictures.h"
#include "scenery.h"

namespace ag {
namespace {

constexpr int band_w = 1280, band_h = 200;
constexpr int ss = 3;

const drift back_drift{70, {{2, 9, 0.4f}, {5, 5, 1.7f}, {9, 3, 0.2f}, {1, 4, 2.0f}}};
const drift mid_drift{104, {{3, 8, 2.2f}, {7, 4, 0.9f}, {11, 2, 2.9f}, {2, 5, 0.1f}}};
const drift front_drift{150, {{4, 7, 1.1f}, {6, 4, 2.6f}, {13, 2, 0.7f}, {1, 3, 1.3f}}};

// How bright the snow may come out in stereo (see stereo_tone): the near snow fills the
// eye pairs almost to the top, the far drift leaves room for the layers behind it.
constexpr float near_exposure = 0.76f, near_peak = 0.96f;
constexpr float far_exposure = 0.9f, far_peak = 0.82f;

// Moonlight on a drift: faces turned to the upper left catch it.
void paint_drift(pen& p, const drift& d, rgb lit_c, rgb shade_c, uint32_t seed) {
    p.region(
        0, 0, band_w, band_h, [&](float x, float y) { return y >= d.top(x, band_w); },
        [&](float x, float y) -> ink {
            float top = d.top(x, band_w);
            float facing = clamp01(0.55f - d.slope(x, band_w) * 1.6f);
            float depth = smooth(0, 60, y - top);
            rgb c = mix(shade_c, lit_c, facing * (1.0f - depth * 0.6f));
            // The crest glints; grain keeps the snow from looking like plastic.
            if (y - top < 1.3f) c = mix(c, hex(0xf4f8ff), 0.7f);
            float grain = value_noise(x * 0.7f, y * 0.9f, seed) - 0.5f;
            c = c * (1.0f + grain * 0.05f);
            if (hashf(int(x * 2), int(y * 2), seed + 1) > 0.9975f) c = hex(0xffffff);
            return {c, 1};
        });
}

void draw_cabin(pen& p, float x, float ground) {
    rgb log_lit = hex(0x7a4f3a), log_dark = hex(0x4a2f28);
    float w = 64, h = 34;
    float x0 = x - w / 2, x1 = x + w / 2, top = ground - h;
    // Chimney behind the roof.
    p.rect(x + 12, top - 30, x + 21, top - 8, hex(0x6b5a5a));
    p.rect(x + 10, top - 33, x + 23, top - 28, hex(0xe6eeff));
    // Log walls, one lighter stripe per log.
    p.region(
        x0, top, x1, ground + 4, [=](float, float) { return true; },
        [=](float px, float py) -> ink {
            float log = std::fmod(py - top, 6.0f) / 6.0f;
            rgb c = mix(log_lit, log_dark, std::fabs(log - 0.35f) * 1.6f);
            c = mix(c, log_dark, smooth(x0, x1, px) * 0.5f);
            return {c, 1};
        });
    // Warm windows with cross bars, and their light spilling on the logs.
    for (float wx : {x - 17.0f, x + 13.0f}) {
        p.region(
            wx - 16, top - 4, wx + 16, ground + 8,
            [=](float px, float py) { return px >= x0 && px < x1 && py >= top && py < ground; },
            [=](float px, float py) -> ink {
                float d = std::hypot(px - wx, (py - (top + 15)) * 1.4f);
                return {hex(0xffcf6b), 0.35f * (1.0f - smooth(4, 15, d))};
            });
        p.rect(wx - 7, top + 9, wx + 7, top + 21, hex(0x5a3424));
        p.rect(wx - 6, top + 10, wx + 6, top + 20, [=](float px, float py) -> ink {
            float d = std::hypot(px - wx, py - (top + 15));
            return {mix(hex(0xfff1c2), hex(0xffb347), smooth(1, 8, d)), 1};
        });
        p.rect(wx - 0.6f, top + 10, wx + 0.6f, top + 20, hex(0x6b3d28));
        p.rect(wx - 6, top + 14.4f, wx + 6, top + 15.6f, hex(0x6b3d28));
    }
    // Door.
    p.rect(x - 4, top + 12, x + 4, ground, hex(0x3a2420));
    // Snow-laden roof, thick and rounded, overhanging both sides.
    p.blob({{x0 - 9, top + 3},
            {x - 10, top - 20},
            {x, top - 26},
            {x + 10, top - 20},
            {x1 + 9, top + 3},
            {x1 + 4, top + 6},
            {x, top - 2},
            {x0 - 4, top + 6}},
           [=](float px, float py) -> ink {
               float side = (px - x) / w;
               rgb c = mix(hex(0xf4f8ff), hex(0xa9bde0), smooth(-0.3f, 0.6f, side));
               if (py > top + 1) c = c * 0.88f;
               return {c, 1};
           });
    // Icicles along the eaves.
    for (int i = 0; i < 9; ++i) {
        float ix = x0 - 3 + float(i) * 8.5f;
        float len = 3 + 3 * hashf(i, 1, 61);
        p.line({ix, top + 4}, {ix, top + 4 + len}, 1.0f, 0.3f, hex(0xdfe9fb));
    }
}

void draw_snowman(pen& p, float x, float ground) {
    auto snow = [](float cx, float cy, float r) {
        return lit{hex(0xf4f8ff) * 0.97f, cx, cy, r, 0.5f};
    };
    p.circle(x, ground - 10, 12, snow(x, ground - 10, 12));
    p.circle(x, ground - 28, 9, snow(x, ground - 28, 9));
    p.circle(x, ground - 42, 7, snow(x, ground - 42, 7));
    p.line({x - 8, ground - 30}, {x - 20, ground - 38}, 0.9f, 0.6f, hex(0x4a2f28));
    p.line({x + 8, ground - 30}, {x + 19, ground - 35}, 0.9f, 0.6f, hex(0x4a2f28));
    p.rect(x - 8, ground - 37, x + 8, ground - 34, hex(0xe04848));  // scarf
    p.line({x + 4, ground - 35}, {x + 7, ground - 27}, 1.5f, 1.2f, hex(0xc23a3a));
    p.circle(x - 2.5f, ground - 44, 1.1f, hex(0x1c2030));
    p.circle(x + 2.5f, ground - 44, 1.1f, hex(0x1c2030));
    p.line({x, ground - 42}, {x + 6, ground - 41}, 1.2f, 0.3f, hex(0xff9a3c));  // carrot
    p.rect(x - 6, ground - 54, x + 6, ground - 48, hex(0x2a2d38));              // hat
    p.rect(x - 8, ground - 49, x + 8, ground - 47, hex(0x2a2d38));
    p.rect(x - 6, ground - 50.5f, x + 6, ground - 49, hex(0x39b86b));
}

void draw_lantern_post(pen& p, float x, float ground) {
    p.rect(x - 1.2f, ground - 40, x + 1.2f, ground + 2, hex(0x2a2d38));
    p.rect(x - 4, ground - 50, x + 4, ground - 40, hex(0x2a2d38));
    p.rect(x - 3, ground - 49, x + 3, ground - 41, [=](float px, float py) -> ink {
        float d = std::hypot(px - x, py - (ground - 45));
        return {mix(hex(0xfff1c2), hex(0xffb347), smooth(0, 4, d)), 1};
    });
    p.rect(x - 5, ground - 53, x + 5, ground - 50, hex(0xdfe9fb));
}

canvas ground_band() {
    // The far drift with its hazy trees is a layer of its own: stereo adds it onto
    // the foot of the mountains and the sky, so it is kept dimmer than the near snow.
    canvas far(band_w * ss, band_h * ss);
    far.wrap_x = true;
    pen fp{far, float(ss)};
    paint_drift(fp, back_drift, hex(0xc9d7f0), hex(0x7f95c2), 3);
    rng r(77);
    for (int i = 0; i < 46; ++i) {
        float x = float(i) * (band_w / 46.0f) + r.range(-8, 8);
        float h = r.range(28, 52);
        draw_pine(fp, x, back_drift.top(x, band_w) + 6, h, uint32_t(100 + i), 0.45f);
    }
    tone_layer(far, far_exposure, far_peak);

    canvas near(band_w * ss, band_h * ss);
    near.wrap_x = true;
    pen p{near, float(ss)};
    paint_drift(p, mid_drift, hex(0xdfe9fb), hex(0x8fa5cf), 5);
    draw_cabin(p, 900, mid_drift.top(900, band_w) + 8);
    draw_lantern_post(p, 846, mid_drift.top(846, band_w) + 14);
    draw_snowman(p, 330, mid_drift.top(330, band_w) + 12);
    for (int i = 0; i < 22; ++i) {
        float x = float(i) * (band_w / 22.0f) + r.range(-14, 14);
        if (std::fabs(x - 900) < 60 || std::fabs(x - 330) < 24) continue;
        float h = r.range(50, 95);
        draw_pine(p, x, mid_drift.top(x, band_w) + 10, h, uint32_t(200 + i), 0.0f);
    }
    paint_drift(p, front_drift, hex(0xe6eeff), hex(0x8098c6), 7);
    tone_layer(near, near_exposure, near_peak);

    canvas lo = downsample(layered(far, near), ss, ss);
    return outline(lo, 0.3f, hex(0x0b1224), false);
}

}  // namespace

image8 draw_ground(int half) {
    static const canvas band = ground_band();
    return to_mask_rgb8(band).crop(640 * half, 0, 640, band_h);
}

}  // namespace ag
