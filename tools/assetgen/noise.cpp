#include "noise.h"

namespace ag {

float value_noise(float x, float y, uint32_t seed, int period) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto cell = [&](int cx, int cy) {
        if (period > 0) cx = ((cx % period) + period) % period;
        return hashf(cx, cy, seed);
    };
    float a = cell(ix, iy), b = cell(ix + 1, iy);
    float c = cell(ix, iy + 1), d = cell(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves, int period) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += value_noise(x, y, seed + uint32_t(o) * 131U, period) * amp;
        norm += amp;
        x *= 2, y *= 2, amp *= 0.5f;
        if (period > 0) period *= 2;
    }
    return sum / norm;
}

}  // namespace ag
