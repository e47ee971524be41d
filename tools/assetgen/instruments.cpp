#include "instruments.h"

#include <algorithm>

namespace ag {
namespace {

// Additive partials with their own levels and decays: the heart of every bell.
struct partial {
    float ratio, level, decay;
};
mono partials(float hz, float total, float vel, std::initializer_list<partial> ps, float attack) {
    mono out(secs(total), 0.0f);
    for (const partial& p : ps) {
        float f = hz * p.ratio;
        if (f > 18000.0f) continue;
        // A sine by rotation, stopped once the partial has died away.
        double w = 2 * pi * f / sample_rate, k = 2 * std::cos(w), s1 = 0, s2 = -std::sin(w);
        size_t end = std::min(out.size(), secs(attack + p.decay * 9.0f));
        for (size_t i = 0; i < end; ++i) {
            double s0 = k * s1 - s2;
            s2 = s1, s1 = s0;
            float t = float(i) / sample_rate;
            out[i] += float(s2) * p.level * perc(t, attack, p.decay);
        }
    }
    for (float& v : out) v *= vel;
    fade_ends(out, 0, 0.01);
    return out;
}

// Held notes: sustain while held, then a release.
float held(float t, float len, float a, float r) {
    return adsr(t, len, a, 0.08f, 0.85f, r);
}

}  // namespace

mono celesta(float hz, float len, float vel) {
    float ring = std::clamp(1.6f - hz / 2000.0f, 0.5f, 1.4f);
    mono m = partials(
        hz, std::max(len, 0.3f) + ring * 1.8f, vel,
        {{1, 1.0f, ring}, {2, 0.18f, ring * 0.4f}, {3.01f, 0.12f, 0.25f}, {4.02f, 0.06f, 0.12f}},
        0.003f);
    return m;
}

mono glock(float hz, float, float vel) {
    return partials(
        hz, 1.4f, vel,
        {{1, 1.0f, 0.5f}, {2.76f, 0.45f, 0.18f}, {5.40f, 0.2f, 0.08f}, {8.93f, 0.1f, 0.04f}},
        0.001f);
}

mono flute(float hz, float len, float vel) {
    float rel = 0.18f;
    mono out(secs(len + rel), 0.0f);
    osc a, b;
    white n(uint32_t(hz * 7));
    one_pole breath;
    breath.set(3000);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float vib = 1.0f + 0.004f * smooth(0.15f, 0.5f, t) * std::sin(float(2 * pi) * 5.2f * t);
        float env = held(t, len, 0.06f, rel);
        float tone = a.sine(hz * vib) * 0.8f + b.triangle(hz * 2 * vib) * 0.12f;
        float air = breath.low(n()) * 0.25f * (0.4f + 0.6f * std::exp(-t * 8));
        out[i] = (tone + air) * env * vel;
    }
    return out;
}

mono lead(float hz, float len, float vel) {
    float rel = 0.1f;
    mono out(secs(len + rel), 0.0f);
    osc a, b;
    biquad lp;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        if (i % 32 == 0) lp.set(biquad::low, 1400.0f + 2600.0f * std::exp(-t * 6.0f), 0.8f);
        float vib = 1.0f + 0.005f * smooth(0.18f, 0.4f, t) * std::sin(float(2 * pi) * 5.8f * t);
        float env = held(t, len, 0.008f, rel);
        float v = a.square(hz * vib, 0.3f) * 0.5f + b.saw(hz * vib * 1.003f) * 0.35f;
        out[i] = lp(v) * env * vel;
    }
    return out;
}

mono pad(float hz, float len, float vel) {
    float rel = 0.7f;
    mono out(secs(len + rel), 0.0f);
    osc o[3];
    const float det[] = {0.996f, 1.0f, 1.005f};
    biquad lp;
    lp.set(biquad::low, std::min(1500.0f, hz * 5), 0.6f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float env = adsr(t, len, 0.35f, 0.3f, 0.8f, rel);
        float v = 0;
        for (int k = 0; k < 3; ++k) v += o[k].saw(hz * det[k]);
        out[i] = lp(v * 0.3f) * env * vel;
    }
    return out;
}

mono bass(float hz, float len, float vel) {
    float rel = 0.08f;
    mono out(secs(len + rel), 0.0f);
    osc a, b;
    one_pole lp;
    lp.set(900);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float env = adsr(t, len, 0.005f, 0.25f, 0.6f, rel);
        float v = a.sine(hz) * 0.85f + b.triangle(hz * 2) * 0.25f * std::exp(-t * 5);
        out[i] = lp.low(v) * env * vel;
    }
    return out;
}

mono pluck(float hz, float len, float vel) {
    // A plucked string: a noise burst circulating in a tuned, damped delay.
    size_t period = std::max<size_t>(2, size_t(std::lround(sample_rate / hz)));
    std::vector<float> line(period);
    white n(uint32_t(hz * 13));
    one_pole soft;
    soft.set(hz * 6);
    for (float& v : line) v = soft.low(n());
    mono out(secs(std::max(len, 0.2f) + 0.9f), 0.0f);
    size_t idx = 0;
    float prev = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        float cur = line[idx];
        float next = 0.5f * (cur + prev) * 0.996f;
        prev = cur;
        line[idx] = next;
        idx = (idx + 1) % period;
        float t = float(i) / sample_rate;
        out[i] = cur * vel * (t > len + 0.3f ? std::max(0.0f, 1 - (t - len - 0.3f) / 0.6f) : 1.0f);
    }
    fade_ends(out, 0.001, 0.02);
    return out;
}

mono brass(float hz, float len, float vel) {
    float rel = 0.12f;
    mono out(secs(len + rel), 0.0f);
    osc o[2];
    biquad lp;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        if (i % 32 == 0) {
            float bright = 700 + 2600 * smooth(0, 0.05f, t) * (0.6f + 0.4f * std::exp(-t * 4));
            lp.set(biquad::low, bright * (0.6f + 0.4f * vel), 0.9f);
        }
        float vib = 1.0f + 0.004f * smooth(0.2f, 0.5f, t) * std::sin(float(2 * pi) * 5.0f * t);
        float env = held(t, len, 0.03f, rel);
        float v = o[0].saw(hz * vib) * 0.5f + o[1].saw(hz * vib * 1.004f) * 0.5f;
        out[i] = lp(v) * env * vel;
    }
    return out;
}

mono kick(float vel) {
    mono out(secs(0.35), 0.0f);
    double ph = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float f = 48 + 110 * std::exp(-t * 30);
        ph += 2 * pi * f / sample_rate;
        out[i] = float(std::sin(ph)) * perc(t, 0.002f, 0.14f) * vel;
    }
    fade_ends(out, 0, 0.02);
    return out;
}

mono snare(float vel) {
    mono out(secs(0.3), 0.0f);
    white n(31);
    biquad bp;
    bp.set(biquad::band, 2200, 0.7f);
    osc tone;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float v = bp(n()) * 1.6f * perc(t, 0.001f, 0.09f) +
                  tone.sine(190) * 0.5f * perc(t, 0.001f, 0.05f);
        out[i] = v * vel;
    }
    fade_ends(out, 0, 0.02);
    return out;
}

mono hat(float vel, bool open) {
    mono out(secs(open ? 0.35 : 0.09), 0.0f);
    white n(open ? 57 : 53);
    biquad hp;
    hp.set(biquad::high, 7500, 0.7f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        out[i] = hp(n()) * perc(t, 0.001f, open ? 0.12f : 0.025f) * vel;
    }
    fade_ends(out, 0, 0.01);
    return out;
}

mono jingle(float vel, uint32_t seed) {
    // Several tiny bells struck a few milliseconds apart, plus the rattle.
    mono out(secs(0.32), 0.0f);
    rng r(seed);
    for (int b = 0; b < 6; ++b) {
        size_t start = secs(r.range(0, 0.025f));
        float f = r.range(3800, 7200);
        float d = r.range(0.05f, 0.12f);
        double w1 = 2 * pi * f / sample_rate, w2 = w1 * 1.47;
        for (size_t i = start; i < out.size(); ++i) {
            float t = float(i - start) / sample_rate;
            float e = perc(t, 0.0008f, d);
            out[i] += (float(std::sin(w1 * double(i))) + 0.5f * float(std::sin(w2 * double(i)))) *
                      e * 0.22f;
        }
    }
    white n(seed + 1);
    biquad hp;
    hp.set(biquad::high, 6000, 0.8f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        out[i] = (out[i] + hp(n()) * 0.35f * perc(t, 0.002f, 0.035f)) * vel;
    }
    fade_ends(out, 0, 0.02);
    return out;
}

mono crash(float vel) {
    mono out(secs(1.8), 0.0f);
    white n(71);
    biquad hp;
    hp.set(biquad::high, 4500, 0.6f);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        out[i] = hp(n()) * perc(t, 0.002f, 0.5f) * vel;
    }
    fade_ends(out, 0, 0.1);
    return out;
}

mono timpani(float hz, float vel) {
    mono out(secs(1.0), 0.0f);
    double ph = 0;
    white n(91);
    one_pole lp;
    lp.set(400);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = float(i) / sample_rate;
        float f = hz * (1.0f + 0.08f * std::exp(-t * 20));
        ph += 2 * pi * f / sample_rate;
        out[i] =
            (float(std::sin(ph)) * perc(t, 0.003f, 0.45f) + lp.low(n()) * perc(t, 0.001f, 0.03f)) *
            vel;
    }
    fade_ends(out, 0, 0.05);
    return out;
}

}  // namespace ag
