// Our studio's mark: a faceted crystal bell in an aurora ring, over the name
// "Quartzbell Games".
#include <cmath>

#include "draw.h"
#include "lettering.h"
#include "noise.h"
#include "pictures.h"

namespace ag {
namespace {

constexpr int W = 420, H = 236, ss = 4;
const rgb navy = hex(0x0e1a3c);

// Half the bell's width at height v (-1 top .. 1 lip).
float bell_half(float v) {
    if (v < -0.6f) return 0.45f * std::sqrt(std::max(0.0f, 1 - std::pow((v + 0.6f) / 0.4f, 2.0f)));
    if (v < 0.4f) return 0.45f + 0.1f * (v + 0.6f);
    return 0.55f + 0.45f * std::pow((v - 0.4f) / 0.6f, 2.0f);
}

void emblem(pen& p, float cx, float cy, float r) {
    p.circle(cx, cy, r + 3, navy);
    p.circle(cx, cy, r, [=](float x, float y) -> ink {
        float a = std::atan2(y - cy, x - cx);
        return {mix(hex(0x3fe0c5), hex(0x9b7bff), 0.5f + 0.5f * std::sin(a + 0.8f)), 1};
    });
    p.circle(cx, cy, r - 7, navy);
    p.circle(cx, cy, r - 9, [=](float x, float y) -> ink {
        rgb c = mix(hex(0x1b2f66), hex(0x0f1836), smooth(cy - r, cy + r, y));
        if (hashf(int(x), int(y), 71) > 0.985f) c = hex(0xbfd4ff);
        return {c, 1};
    });
    // The bell, cut like a gem: five facets across, two tiers down.
    float bh = r * 0.62f, bw = r * 0.62f, by = cy + 2;
    const rgb facets[] = {hex(0xe6deff), hex(0xc9b8ff), hex(0x9b7bff), hex(0x7a5ae0),
                          hex(0x5a3fb8)};
    p.circle(cx, by - bh - 4, 5.5f, navy);
    p.circle(cx, by - bh - 4, 3.2f, hex(0xffd34d));
    p.region(
        cx - bw - 4, by - bh - 4, cx + bw + 4, by + bh + 4,
        [=](float x, float y) {
            float v = (y - by) / bh;
            return v >= -1.05f && v <= 1.08f && std::fabs(x - cx) <= bell_half(v) * bw + 3.0f;
        },
        navy);
    p.region(
        cx - bw, by - bh, cx + bw, by + bh,
        [=](float x, float y) {
            float v = (y - by) / bh;
            return v >= -1 && v <= 1 && std::fabs(x - cx) <= bell_half(v) * bw;
        },
        [=](float x, float y) -> ink {
            float v = (y - by) / bh;
            float u = (x - cx) / (bell_half(v) * bw);
            int strip = std::clamp(int((u + 1) * 2.5f), 0, 4);
            int tier = v > 0.25f ? 1 : 0;
            rgb c = facets[std::min(4, strip + tier)];
            if (v > 0.78f) c = c * 0.75f;  // the lip
            return {c, 1};
        });
    // Clapper and a glint.
    p.circle(cx, by + bh + 5, 6, navy);
    p.circle(cx, by + bh + 5, 4, lit{hex(0xffd34d), cx, by + bh + 5, 4});
    float gx = cx - bw * 0.35f, gy = by - bh * 0.35f;
    p.line({gx - 7, gy}, {gx + 7, gy}, 1.1f, 1.1f, hex(0xffffff));
    p.line({gx, gy - 7}, {gx, gy + 7}, 1.1f, 1.1f, hex(0xffffff));
}

// Text with a dark rim; `fill` colours it by height.
template <class Fill>
void rimmed_text(canvas& out, const std::string& font, const std::string& text, float px,
                 float baseline, float rim, float tracking, Fill fill) {
    float adv = text_width(font, text, px, tracking);
    coverage cv;
    set_text(font, text, px, W, H, (float(W) - adv) * 0.5f, baseline, cv, nullptr, tracking);
    std::vector<float> d = distance_to(cv, int(rim) + 1);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            float c = cv.at(x, y);
            if (c <= 0 && d[size_t(y) * W + x] > rim) continue;
            rgb col = mix(navy, fill(float(y)), smooth(0.2f, 0.95f, c));
            out.put(x, y, col, 1);
        }
    }
}

}  // namespace

image8 draw_logo(const std::string& font_path) {
    canvas hi(W * ss, H * ss);
    pen p{hi, float(ss)};
    emblem(p, 210, 68, 58);
    canvas out = downsample(hi, ss, ss);
    rimmed_text(out, font_path, "Quartzbell", 64, 186, 3, 0,
                [](float y) { return mix(hex(0xffffff), hex(0xc9b8ff), smooth(140, 190, y)); });
    rimmed_text(out, font_path, "GAMES", 24, 224, 2.5f, 9,
                [](float y) { return mix(hex(0xfff1a0), hex(0xffb347), smooth(205, 225, y)); });
    return to_mask_rgb8(out);
}

}  // namespace ag
