// A small float raster for drawing the game's pictures. Shapes are painted at a
// super-sampled size with hard coverage and then averaged down, so the art has
// smooth insides but crisp, mask-friendly edges.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "mathx.h"

namespace ag {

struct rgb {
    float r = 0, g = 0, b = 0;
};

inline rgb operator+(rgb a, rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline rgb operator-(rgb a, rgb b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline rgb operator*(rgb a, float s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline rgb operator*(rgb a, rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline rgb mix(rgb a, rgb b, float t) {
    return a + (b - a) * t;
}
inline float luma(rgb c) {
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

// A colour with the opacity it is laid down at.
struct ink {
    rgb c;
    float a = 1.0f;
};

// "#rrggbb" palette entries, as written in the art direction.
constexpr rgb hex(uint32_t v) {
    return {float((v >> 16) & 255) / 255.0f, float((v >> 8) & 255) / 255.0f,
            float(v & 255) / 255.0f};
}

// 8-bit RGB picture as it goes into a PNG; (0, 0, 0) means transparent.
struct image8 {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // 3 bytes a pixel, rows top to bottom
    image8() = default;
    image8(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_ * 3, 0) {}
    uint8_t* at(int x, int y) { return &px[(size_t(y) * w + x) * 3]; }
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * 3]; }
    bool opaque(int x, int y) const {
        const uint8_t* p = at(x, y);
        return p[0] | p[1] | p[2];
    }
    void blit(const image8& src, int dx, int dy);
    image8 crop(int x0, int y0, int cw, int ch) const;
};

// Colour with coverage; colours are stored premultiplied.
struct canvas {
    int w = 0, h = 0;
    bool wrap_x = false;    // landscape bands repeat horizontally
    std::vector<float> px;  // r, g, b, a per pixel

    canvas() = default;
    canvas(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_ * 4, 0.0f) {}
    float* at(int x, int y) { return &px[(size_t(y) * w + x) * 4]; }
    const float* at(int x, int y) const { return &px[(size_t(y) * w + x) * 4]; }
    float alpha(int x, int y) const { return at(x, y)[3]; }
    rgb color(int x, int y) const;  // un-premultiplied

    // Lays colour c with opacity a over the pixel.
    void put(int x, int y, rgb c, float a = 1.0f);
    // Adds light: brightens colour without changing coverage.
    void add(int x, int y, rgb c);

    // Paints every pixel whose centre (x + 0.5, y + 0.5), divided by scale,
    // satisfies inside(); shade() gives its colour and opacity. The box is in
    // the same unscaled units. With wrap_x the shape also repeats one width
    // left and right.
    template <class In, class Shade>
    void paint(float x0, float y0, float x1, float y1, float scale, In inside, Shade shade);
};

// Lays `top` over `bottom`, which must be of the same size.
canvas layered(const canvas& bottom, const canvas& top);

// Averages fx x fy blocks of a super-sampled canvas into one pixel.
canvas downsample(const canvas& hi, int fx, int fy);

// Turns transparent pixels that touch the art into a dark rim, so shapes stay
// legible against the night sky. Returns the outlined copy.
canvas outline(const canvas& c, float darken, rgb floor, bool diagonal);

// Pixels at or over half coverage become opaque (never pure black), the rest
// transparent black.
image8 to_mask_rgb8(const canvas& c);
// For pictures without transparency, or additive glows where black is
// simply "no light".
image8 to_rgb8(const canvas& c, bool keep_black);

template <class In, class Shade>
void canvas::paint(float x0, float y0, float x1, float y1, float scale, In inside, Shade shade) {
    int shifts = wrap_x ? 3 : 1;
    float period = float(w) / scale;
    for (int s = 0; s < shifts; ++s) {
        float off = wrap_x ? (float(s) - 1.0f) * period : 0.0f;
        int ix0 = std::max(0, int(std::floor((x0 + off) * scale)));
        int ix1 = std::min(w - 1, int(std::ceil((x1 + off) * scale)));
        int iy0 = std::max(0, int(std::floor(y0 * scale)));
        int iy1 = std::min(h - 1, int(std::ceil(y1 * scale)));
        for (int y = iy0; y <= iy1; ++y) {
            float fy = (float(y) + 0.5f) / scale;
            for (int x = ix0; x <= ix1; ++x) {
                float fx = (float(x) + 0.5f) / scale - off;
                if (!inside(fx, fy)) continue;
                auto [c, a] = shade(fx, fy);
                put(x, y, c, a);
            }
        }
    }
}

}  // namespace ag
