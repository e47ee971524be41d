// Pieces shared by the landscape pictures: the repeating band and pine trees.
#pragma once

#include <algorithm>
#include <cmath>

#include "draw.h"
#include "noise.h"

namespace ag {

constexpr float two_pi = 6.28318531f;

// A snow drift's top edge: a sum of waves that each fit a whole number of
// times into the band, so it repeats with the band.
struct drift {
    float base;
    struct wave {
        int k;
        float amp, phase;
    };
    wave waves[4];
    float top(float x, float width) const {
        float y = base;
        for (const wave& w : waves)
            y += w.amp * std::sin(two_pi * float(w.k) * x / width + w.phase);
        return y;
    }
    float slope(float x, float width) const {
        return (top(x + 0.5f, width) - top(x - 0.5f, width));
    }
};

// In stereo a layer comes as two tinted copies, each added twice, so the eye pairs
// make up to 1.13 times a colour's red and 1.26 times its blue. Scales a colour by
// `exposure` and rolls what is left above the knee off towards `peak`, so that a layer
// on its own stays under `peak` of full brightness in every pair.
inline rgb stereo_tone(rgb c, float exposure, float peak) {
    // Dimmed snow turns grey: it gains as much colour as it loses light, so it still
    // reads as cold moonlight.
    float grey = luma(c);
    c = mix(rgb{grey, grey, grey}, c, 2.0f - std::min(exposure, 1.0f)) * exposure;
    c = {std::max(c.r, 0.0f), std::max(c.g, 0.0f), std::max(c.b, 0.0f)};
    float load = std::max({c.r * 1.13f, c.g * 0.82f, c.b * 1.26f});
    float knee = peak * 0.85f;
    if (load <= knee) return c;
    float room = peak - knee;
    return c * ((knee + room * (1.0f - std::exp((knee - load) / room))) / load);
}

// stereo_tone over every painted pixel of a layer.
inline void tone_layer(canvas& c, float exposure, float peak) {
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            float* p = c.at(x, y);
            if (p[3] <= 0) continue;
            rgb t = stereo_tone(c.color(x, y), exposure, peak);
            p[0] = t.r * p[3], p[1] = t.g * p[3], p[2] = t.b * p[3];
        }
    }
}

// A snowy pine with its foot at (x, base) and its tip `height` above it.
void draw_pine(pen& p, float x, float base, float height, uint32_t seed, float haze);

}  // namespace ag
