#include "canvas.h"

namespace ag {

void image8::blit(const image8& src, int dx, int dy) {
    for (int y = 0; y < src.h; ++y) {
        for (int x = 0; x < src.w; ++x) {
            int tx = dx + x, ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= w || ty >= h) continue;
            const uint8_t* s = src.at(x, y);
            uint8_t* d = at(tx, ty);
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
        }
    }
}

image8 image8::crop(int x0, int y0, int cw, int ch) const {
    image8 out(cw, ch);
    out.blit(*this, -x0, -y0);
    return out;
}

rgb canvas::color(int x, int y) const {
    const float* p = at(x, y);
    if (p[3] <= 1e-6f) return {};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

void canvas::put(int x, int y, rgb c, float a) {
    if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
    a = std::min(a, 1.0f);
    float* p = at(x, y);
    float k = 1.0f - a;
    p[0] = c.r * a + p[0] * k;
    p[1] = c.g * a + p[1] * k;
    p[2] = c.b * a + p[2] * k;
    p[3] = a + p[3] * k;
}

void canvas::add(int x, int y, rgb c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float* p = at(x, y);
    float a = p[3];
    p[0] += c.r * a, p[1] += c.g * a, p[2] += c.b * a;
}

canvas layered(const canvas& bottom, const canvas& top) {
    canvas out = bottom;
    for (size_t i = 0; i + 3 < out.px.size(); i += 4) {
        float k = 1.0f - top.px[i + 3];
        for (size_t j = 0; j < 4; ++j) out.px[i + j] = top.px[i + j] + out.px[i + j] * k;
    }
    return out;
}

canvas downsample(const canvas& hi, int fx, int fy) {
    canvas lo(hi.w / fx, hi.h / fy);
    lo.wrap_x = hi.wrap_x;
    float n = 1.0f / float(fx * fy);
    for (int y = 0; y < lo.h; ++y) {
        for (int x = 0; x < lo.w; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int j = 0; j < fy; ++j) {
                for (int i = 0; i < fx; ++i) {
                    const float* p = hi.at(x * fx + i, y * fy + j);
                    for (int k = 0; k < 4; ++k) acc[k] += p[k];
                }
            }
            float* d = lo.at(x, y);
            for (int k = 0; k < 4; ++k) d[k] = acc[k] * n;
        }
    }
    return lo;
}

canvas outline(const canvas& c, float darken, rgb floor, bool diagonal) {
    canvas out = c;
    auto solid = [&](int x, int y) {
        if (c.wrap_x) x = (x + c.w) % c.w;
        if (x < 0 || y < 0 || x >= c.w || y >= c.h) return false;
        return c.alpha(x, y) >= 0.5f;
    };
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            if (solid(x, y)) continue;
            rgb sum;
            int n = 0;
            for (int j = -1; j <= 1; ++j) {
                for (int i = -1; i <= 1; ++i) {
                    if ((i == 0 && j == 0) || (!diagonal && i != 0 && j != 0)) continue;
                    if (!solid(x + i, y + j)) continue;
                    int sx = c.wrap_x ? (x + i + c.w) % c.w : x + i;
                    sum = sum + c.color(sx, y + j);
                    ++n;
                }
            }
            if (n == 0) continue;
            rgb rim = sum * (darken / float(n));
            rim = {std::max(rim.r, floor.r), std::max(rim.g, floor.g), std::max(rim.b, floor.b)};
            float* p = out.at(x, y);
            p[0] = rim.r, p[1] = rim.g, p[2] = rim.b, p[3] = 1.0f;
        }
    }
    return out;
}

static uint8_t q(float v) {
    return uint8_t(std::lround(clamp01(v) * 255.0f));
}

image8 to_mask_rgb8(const canvas& c) {
    image8 o(c.w, c.h);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            if (c.alpha(x, y) < 0.5f) continue;
            rgb v = c.color(x, y);
            uint8_t* d = o.at(x, y);
            d[0] = q(v.r), d[1] = q(v.g), d[2] = q(v.b);
            if ((d[0] | d[1] | d[2]) == 0) d[0] = d[1] = d[2] = 1;
        }
    }
    return o;
}

image8 to_rgb8(const canvas& c, bool keep_black) {
    image8 o(c.w, c.h);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const float* p = c.at(x, y);
            uint8_t* d = o.at(x, y);
            d[0] = q(p[0]), d[1] = q(p[1]), d[2] = q(p[2]);
            if (!keep_black && (d[0] | d[1] | d[2]) == 0) d[0] = d[1] = d[2] = 1;
        }
    }
    return o;
}

}  // namespace ag
