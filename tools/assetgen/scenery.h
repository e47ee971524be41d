// Pieces shared by the landscape pictures: the repeating band and pine trees.
#pragma once

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

// A snowy pine with its foot at (x, base) and its tip `height` above it.
void draw_pine(pen& p, float x, float base, float height, uint32_t seed, float haze);

}  // namespace ag
