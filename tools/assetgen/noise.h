// Deterministic randomness for the art and the music: the same numbers on
// every build, so the assets come out byte for byte the same.
#pragma once

#include <cmath>
#include <cstdint>

namespace ag {

inline uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}
inline uint32_t hash2(int32_t a, int32_t b, uint32_t seed) {
    return hash32(uint32_t(a) * 0x9e3779b1U ^ hash32(uint32_t(b) + seed * 0x85ebca77U));
}
// Uniform in [0, 1).
inline float hashf(int32_t a, int32_t b, uint32_t seed) {
    return float(hash2(a, b, seed) >> 8) / 16777216.0f;
}

struct rng {
    uint32_t state;
    explicit rng(uint32_t seed) : state(hash32(seed + 1)) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float uniform() { return float(next() >> 8) / 16777216.0f; }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
};

// Smooth value noise in [0, 1). `period` (in lattice cells, 0 for none) makes
// it repeat along x, which keeps the landscape bands seamless.
float value_noise(float x, float y, uint32_t seed, int period = 0);
// Sum of octaves, each twice as fine; period doubles with them.
float fbm(float x, float y, uint32_t seed, int octaves, int period = 0);

}  // namespace ag
