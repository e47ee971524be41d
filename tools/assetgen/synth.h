// Synthesis building blocks for the effects and the music: oscillators,
// envelopes, filters, a reverb, and level tools. Mono buffers are plain
// float vectors at 44.1 kHz.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "mathx.h"
#include "noise.h"
#include "sounds.h"

namespace ag {

using mono = std::vector<float>;
constexpr double pi = 3.14159265358979323846;

inline float note_hz(float midi) {
    return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f);
}
inline size_t secs(double s) {
    return size_t(std::lround(s * sample_rate));
}
inline float db(float v) {
    return std::pow(10.0f, v / 20.0f);
}

// Band-limited steps for saw and square waves (polyBLEP).
inline float blep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

struct osc {
    double phase = 0;
    float sine(float hz) { return float(std::sin(2 * pi * step(hz))); }
    float saw(float hz) {
        float dt = hz / sample_rate, t = float(step(hz));
        return 2.0f * t - 1.0f - blep(t, dt);
    }
    float square(float hz, float width = 0.5f) {
        float dt = hz / sample_rate, t = float(step(hz));
        float v = t < width ? 1.0f : -1.0f;
        v += blep(t, dt);
        float t2 = t + 1.0f - width;
        v -= blep(t2 - std::floor(t2), dt);
        return v;
    }
    float triangle(float hz) {
        float t = float(step(hz));
        return 4.0f * std::fabs(t - 0.5f) - 1.0f;
    }
    // Advances and returns the phase before the step, in [0, 1).
    double step(float hz) {
        double p = phase;
        phase += double(hz) / sample_rate;
        phase -= std::floor(phase);
        return p;
    }
};

struct white {
    rng r;
    explicit white(uint32_t seed) : r(seed) {}
    float operator()() { return r.uniform() * 2.0f - 1.0f; }
};

// Envelopes: times in seconds, t is the time since the note began.
inline float adsr(float t, float len, float a, float d, float s, float r) {
    float v;
    if (t < a)
        v = t / a;
    else if (t < a + d)
        v = 1.0f - (1.0f - s) * (t - a) / d;
    else
        v = s;
    if (t > len) v *= std::max(0.0f, 1.0f - (t - len) / r);
    return std::max(v, 0.0f);
}
inline float perc(float t, float a, float decay) {
    if (t < a) return t / a;
    return std::exp(-(t - a) / decay);
}

// Resonant low/high/band pass, RBJ biquad.
struct biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
    enum kind { low, high, band };
    void set(kind k, float hz, float q);
    float operator()(float x) {
        float y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

struct one_pole {
    float a = 0, y = 0;
    void set(float hz) { a = 1.0f - std::exp(float(-2 * pi) * hz / sample_rate); }
    float low(float x) { return y += a * (x - y); }
    float high(float x) { return x - low(x); }
};

// A small plate-like reverb (parallel combs into all-passes). With `loop`
// the buffer is treated as a circle: the tail of the end rings on into the
// beginning, so a music loop stays continuous at its join.
void reverb(mono& io, float mix, float room, float damp, bool loop, uint32_t seed);
void reverb_stereo(mono& left, mono& right, float mix, float room, float damp, bool loop);

// Short raised-cosine fades so nothing clicks.
void fade_ends(mono& s, double in_secs, double out_secs);
float peak(const mono& s);
float rms(const mono& s);
// Scales so that the loudest 300 ms reach `rms_db` (how loud an effect
// sounds), then tames any peak over `peak_db` with a gentle limiter.
void level(mono& s, float rms_db, float peak_db);
// Music: the whole piece's RMS is what counts.
void level_stereo(mono& l, mono& r, float rms_db, float peak_db, bool loop);

sound to_sound(const mono& s);
sound to_sound(const mono& l, const mono& r);

}  // namespace ag
