// The desktop icon: a present in a frost glow on a rounded night-sky tile, with a
// snowy hill and falling flakes. Drawn in 256 units and rendered at each size, so the
// small icons are as crisp as the big one. Outside the tile is transparent.
#include <cmath>

#include "draw.h"
#include "noise.h"
#include "pictures.h"

namespace ag {
namespace {

constexpr int ss = 4;
constexpr float unit = 256.0f, tile0 = 8.0f, tile1 = 248.0f, corner = 44.0f;
constexpr float gift_x = 128.0f, gift_y = 150.0f;
const rgb rim = hex(0x10142a), red = hex(0xe04848), gold = hex(0xffd34d);

bool in_tile(float x, float y) {
    float dx = std::max({tile0 + corner - x, x - (tile1 - corner), 0.0f});
    float dy = std::max({tile0 + corner - y, y - (tile1 - corner), 0.0f});
    return x >= tile0 && x < tile1 && y >= tile0 && y < tile1 &&
           dx * dx + dy * dy <= corner * corner;
}

void sky(pen& p) {
    p.rect(0, 0, unit, unit, [](float, float y) -> ink {
        return {mix(hex(0x0b1230), hex(0x2b4f86), smooth(20, 230, y)), 1};
    });
    rng r(4242);
    for (int i = 0; i < 26; ++i) {
        float x = r.range(24, 232), y = r.range(22, 120), s = r.range(1.2f, 2.6f);
        p.circle(x, y, s, mix(hex(0xbfd4ff), hex(0xffffff), r.uniform()));
    }
    // A thin moon, lit from the upper left as all the game's art is.
    p.circle(58, 58, 20, hex(0xf4f1dc));
    p.circle(67, 52, 18, [](float, float y) -> ink {
        return {mix(hex(0x0b1230), hex(0x2b4f86), smooth(20, 230, y)), 1};
    });
}

// Light added round the present: a soft halo and six frosty rays.
void frost_glow(canvas& cv, float scale) {
    for (int y = 0; y < cv.h; ++y) {
        for (int x = 0; x < cv.w; ++x) {
            float dx = (float(x) + 0.5f) / scale - gift_x, dy = (float(y) + 0.5f) / scale - gift_y;
            float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            float halo = 0.5f * std::exp(-std::pow(r / 95.0f, 2.0f));
            float ray =
                std::pow(std::fabs(std::cos(a * 3.0f + 0.5236f)), 30.0f) * std::exp(-r / 70.0f);
            rgb light = mix(hex(0x6ff0ff), hex(0xffffff), std::exp(-r / 40.0f));
            cv.add(x, y, light * (halo + 0.6f * ray));
        }
    }
}

void hill(pen& p) {
    p.ellipse(150, 262, 170, 64, -6, lit{hex(0xdfe9fb), 120, 220, 120, 0.3f});
    p.ellipse(40, 250, 90, 40, 8, lit{hex(0xc4d4f0), 40, 230, 80, 0.3f});
}

void flake(pen& p, float cx, float cy, float len) {
    for (int k = 0; k < 3; ++k) {
        float a = float(k) * 1.0472f + 0.2618f;
        pt d{std::cos(a) * len, std::sin(a) * len};
        p.line({cx - d.x, cy - d.y}, {cx + d.x, cy + d.y}, len * 0.16f, len * 0.16f, hex(0xe8fdff));
    }
    p.circle(cx, cy, len * 0.3f, hex(0xffffff));
}

void present(pen& p) {
    const float x0 = gift_x - 44, x1 = gift_x + 44, top = gift_y - 18, bottom = gift_y + 56;
    // A dark rim first, so the box reads against the bright glow at every size.
    p.rect(x0 - 4, top - 4, x1 + 4, bottom + 4, rim);
    p.rect(x0 - 10, top - 26, x1 + 10, top + 6, rim);
    p.ellipse(gift_x - 26, top - 38, 30, 20, -20, rim);
    p.ellipse(gift_x + 26, top - 38, 30, 20, 20, rim);
    // Box, lid and ribbon.
    p.rect(x0, top, x1, bottom, lit{red, gift_x, gift_y + 18, 50, 0.5f});
    p.rect(x0, top, x1, top + 8, red * 0.65f);  // shadow under the lid
    p.rect(x0 - 6, top - 22, x1 + 6, top + 2, lit{hex(0xf06060), gift_x, top - 10, 56, 0.4f});
    p.rect(gift_x - 9, top - 22, gift_x + 9, bottom, lit{gold, gift_x, gift_y, 40, 0.3f});
    p.rect(x0 + 6, top + 14, x0 + 14, bottom - 8, hex(0xff8a8a));  // moonlit edge
    // Bow: two loops and a knot.
    p.ellipse(gift_x - 26, top - 38, 25, 15, -20, lit{gold, gift_x - 26, top - 38, 25, 0.4f});
    p.ellipse(gift_x + 26, top - 38, 25, 15, 20, lit{gold, gift_x + 26, top - 38, 25, 0.4f});
    p.ellipse(gift_x - 26, top - 38, 10, 6, -20, hex(0xc9952c));
    p.ellipse(gift_x + 26, top - 38, 10, 6, 20, hex(0xc9952c));
    p.circle(gift_x, top - 30, 11, hex(0xfff1a0));
    // Frost on the lid's edge.
    p.line({x0 - 4, top - 22}, {x1 + 4, top - 22}, 2.6f, 2.6f, hex(0xdff8ff));
}

}  // namespace

canvas draw_icon(int size) {
    const float scale = float(size * ss) / unit;
    canvas hi(size * ss, size * ss);
    pen p{hi, scale};
    sky(p);
    frost_glow(hi, scale);
    hill(p);
    present(p);
    flake(p, 206, 62, 11);
    flake(p, 188, 128, 7);
    flake(p, 36, 150, 8);
    // The tile's rounded corners cut everything off.
    for (int y = 0; y < hi.h; ++y) {
        for (int x = 0; x < hi.w; ++x) {
            if (in_tile((float(x) + 0.5f) / scale, (float(y) + 0.5f) / scale)) continue;
            float* px = hi.at(x, y);
            px[0] = px[1] = px[2] = px[3] = 0;
        }
    }
    return downsample(hi, ss, ss);
}

}  // namespace ag
