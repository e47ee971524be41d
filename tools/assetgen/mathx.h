// Small shaping functions shared by the pictures and the sounds.
#pragma once

#include <algorithm>

namespace ag {

inline float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
// 0 below e0, 1 above e1, an S-curve between.
inline float smooth(float e0, float e1, float v) {
    float t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

}  // namespace ag
