// The title lettering: "Glimmerfrost" in icy letters with snow on their tops
// and icicles below, and a "3D" badge. Dark rims keep it readable over the
// snowy landscape.
#include <cmath>

#include "draw.h"
#include "lettering.h"
#include "noise.h"
#include "pictures.h"

namespace ag {
namespace {

constexpr int W = 486, H = 139;
const rgb navy = hex(0x0e1a3c), frost_rim = hex(0x9fb4d8);

// Icy fill, snow-capped: `top` is how far the nearest uncovered pixel above is.
rgb ice(float y, float y0, float y1, int top, float cap, float x) {
    float t = clamp01((y - y0) / (y1 - y0));
    rgb c = t < 0.5f ? mix(hex(0xe8f6ff), hex(0x9fdcff), t * 2)
                     : mix(hex(0x9fdcff), hex(0x3f7fd0), (t - 0.5f) * 2);
    c = c * (0.93f + 0.14f * value_noise(x * 0.4f, y * 0.4f, 3));
    if (float(top) <= cap) c = float(top) > cap - 1.5f ? hex(0xc9dcf5) : hex(0xffffff);
    return c;
}

// Rows above (x, y) that are still inside the letter, up to `limit`.
int depth_in(const coverage& cv, int x, int y, int limit) {
    for (int k = 1; k <= limit; ++k)
        if (cv.at(x, y - k) < 0.5f) return k;
    return limit + 1;
}

void letter_block(canvas& out, const coverage& cv, float y0, float y1, float rim_w, uint32_t seed) {
    std::vector<float> dist = distance_to(cv, int(rim_w) + 2);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            float c = cv.at(x, y), d = dist[size_t(y) * W + x];
            if (c <= 0 && d > rim_w + 1.5f) continue;
            float cap = 3.0f + 3.0f * value_noise(float(x) * 0.25f, 0.5f, seed);
            rgb fill = ice(float(y), y0, y1, depth_in(cv, x, y, 8), cap, float(x));
            rgb col = d <= rim_w ? navy : frost_rim;
            if (c > 0) col = mix(navy, fill, smooth(0.2f, 0.95f, c));
            float* p = out.at(x, y);
            p[0] = col.r, p[1] = col.g, p[2] = col.b, p[3] = 1;
        }
    }
}

// Icicles hang from the letters' lower edges now and then.
void icicles(canvas& out, const coverage& cv, uint32_t seed) {
    pen p{out, 1.0f};
    int last = -100;
    for (int x = 2; x < W - 2; ++x) {
        for (int y = 10; y < H - 12; ++y) {
            if (cv.at(x, y) < 0.5f || cv.at(x, y + 1) >= 0.5f) continue;
            if (cv.at(x - 2, y) < 0.5f || cv.at(x + 2, y) < 0.5f) continue;
            if (x - last < 11 || hashf(x, y, seed) > 0.35f) continue;
            last = x;
            float len = 5 + 6 * hashf(x, y, seed + 1);
            float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            p.poly({{fx - 3.2f, fy - 1}, {fx + 3.2f, fy - 1}, {fx, fy + len + 2.5f}}, navy);
            p.poly({{fx - 1.8f, fy}, {fx + 1.8f, fy}, {fx, fy + len}}, [=](float, float py) -> ink {
                return {mix(hex(0xe8f6ff), hex(0x6fb8f0), (py - fy) / len), 1};
            });
        }
    }
}

void glint(canvas& out, float x, float y, float r) {
    pen p{out, 1.0f};
    p.line({x - r, y}, {x + r, y}, 0.9f, 0.9f, hex(0xffffff));
    p.line({x, y - r}, {x, y + r}, 0.9f, 0.9f, hex(0xffffff));
    p.circle(x, y, 1.6f, hex(0xffffff));
}

}  // namespace

image8 draw_title(const std::string& font_path) {
    canvas out(W, H);
    const std::string word = "Glimmerfrost";
    float size = 100.0f * 452.0f / std::max(1.0f, text_width(font_path, word, 100.0f));
    float adv = text_width(font_path, word, size);
    coverage main;
    float base = 84;
    set_text(font_path, word, size, W, H, (float(W) - adv) * 0.5f, base, main);
    letter_block(out, main, base - size * 0.72f, base + 4, 3.0f, 5);
    icicles(out, main, 9);
    // The "3D" badge, tucked under the end of the word.
    pen p{out, 1.0f};
    float bx = 404, by = 112;
    p.ellipse(bx, by, 42, 21, -6, navy);
    p.ellipse(bx, by, 38.5f, 17.5f, -6, [=](float x, float y) -> ink {
        float t = clamp01((x - bx + 38) / 76.0f);
        rgb c = mix(hex(0x3fe0c5), hex(0x9b7bff), t);
        return {mix(c, hex(0xffffff), 0.35f * (1 - smooth(by - 18, by + 4, y))), 1};
    });
    coverage badge;
    float bsize = 34;
    float badv = text_width(font_path, "3D", bsize);
    set_text(font_path, "3D", bsize, W, H, bx - badv * 0.5f - 1, by + 11, badge);
    std::vector<float> bd = distance_to(badge, 3);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            float c = badge.at(x, y), d = bd[size_t(y) * W + x];
            if (c <= 0 && d > 2.0f) continue;
            rgb col = mix(navy, hex(0xffffff), smooth(0.2f, 0.95f, c));
            float* px = out.at(x, y);
            px[0] = col.r, px[1] = col.g, px[2] = col.b, px[3] = 1;
        }
    }
    // Glints sit on the letters' snowy tops.
    for (int gx : {72, 262, 424}) {
        int gy = 0;
        while (gy < H - 1 && main.at(gx, gy) < 0.5f) ++gy;
        if (gy < H - 1) glint(out, float(gx) + 0.5f, float(gy) + 2.5f, 5);
    }
    return to_mask_rgb8(out);
}

}  // namespace ag
