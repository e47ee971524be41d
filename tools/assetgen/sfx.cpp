// The eight sound effects. Each is short, starts at once and ends in silence.
#include <algorithm>

#include "instruments.h"
#include "music.h"

namespace ag {
namespace {

constexpr float fx_level = -14.0f, fx_ceiling = -2.0f;

// Mixes `src` into `dst` at `at_secs`, growing `dst` as needed.
void mix_in(mono& dst, const mono& src, double at_secs, float gain) {
    size_t start = secs(at_secs);
    if (dst.size() < start + src.size()) dst.resize(start + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[start + i] += src[i] * gain;
}

sound finish(mono& s, float max_secs, float reverb_mix, float loudness = fx_level) {
    if (reverb_mix > 0) reverb(s, reverb_mix, 0.6f, 0.4f, false, 3);
    // Trim the silent tail, keep within the length, and fade both ends.
    size_t end = s.size();
    while (end > 0 && std::fabs(s[end - 1]) < 1e-4f) --end;
    s.resize(std::min(end, secs(max_secs)));
    level(s, loudness, fx_ceiling);
    fade_ends(s, 0.002, 0.03);
    return to_sound(s);
}

}  // namespace

sound make_logo_hit() {
    // A solid thump with a crack and a ringing crystal shimmer.
    mono s(secs(1.0), 0.0f);
    white n(5);
    biquad bp;
    bp.set(biquad::band, 1800, 0.9f);
    double ph = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / sample_rate;
        float f = 45 + 140 * std::exp(-t * 22);
        ph += 2 * pi * f / sample_rate;
        s[i] = float(std::sin(ph)) * perc(t, 0.001f, 0.16f) * 0.9f +
               bp(n()) * perc(t, 0.0005f, 0.03f) * 1.2f;
    }
    for (float hz : {1318.5f, 1975.5f, 2637.0f}) mix_in(s, glock(hz, 0.5f, 0.3f), 0.005, 0.5f);
    return finish(s, 1.1f, 0.15f);
}

sound make_present() {
    // Two quick rising bell notes and a sparkle on top.
    mono s;
    mix_in(s, celesta(note_hz(88), 0.1f, 0.8f), 0.0, 0.7f);   // E6
    mix_in(s, celesta(note_hz(95), 0.2f, 0.9f), 0.07, 0.8f);  // B6
    mix_in(s, glock(note_hz(100), 0.2f, 0.4f), 0.07, 0.35f);  // E7
    mix_in(s, jingle(0.7f, 8), 0.0, 0.5f);
    return finish(s, 0.7f, 0.2f);
}

sound make_warper() {
    // A whoosh: noise through a band pass that swoops up and back down.
    mono s(secs(0.65), 0.0f);
    white n(12);
    biquad bp, bp2;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / sample_rate, k = t / 0.65f;
        if (i % 16 == 0) {
            float f = 300 + 3200 * std::sin(float(pi) * std::pow(k, 0.7f));
            bp.set(biquad::band, f, 2.5f);
            bp2.set(biquad::band, f * 1.5f, 3.0f);
        }
        float x = n();
        // Starts at once, swells, then blows away.
        float env = std::min(1.0f, t / 0.004f) *
                    (0.5f + 0.5f * std::sin(float(pi) * std::min(1.0f, k * 1.3f))) *
                    (1 - smooth(0.6f, 1.0f, k));
        s[i] = (bp(x) + 0.5f * bp2(x)) * env;
    }
    return finish(s, 0.7f, 0.2f);
}

sound make_warp_in() {
    // A rising sweep that speeds up as it climbs, with a shimmer.
    mono s(secs(1.1), 0.0f);
    osc a, b, lfo;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / sample_rate, k = t / 1.1f;
        float f = 180 * std::pow(9.0f, k * k);
        float wob = 1.0f + 0.03f * lfo.sine(7 + 20 * k);
        float env = std::min(1.0f, t / 0.01f) * (0.5f + 0.5f * k) * (1 - smooth(0.85f, 1.0f, k));
        s[i] = (a.sine(f * wob) * 0.7f + b.sine(f * 2.01f * wob) * 0.25f) * env;
    }
    for (int k = 0; k < 6; ++k)
        mix_in(s, glock(note_hz(84 + float(k) * 2), 0.1f, 0.3f), 0.15 * k, 0.25f);
    return finish(s, 1.3f, 0.25f);
}

sound make_warp_out() {
    // The team pulls away: a falling sweep that fades into the distance.
    mono s(secs(1.2), 0.0f);
    osc a, b, lfo;
    white n(21);
    biquad lp;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / sample_rate, k = t / 1.2f;
        float f = 1500 * std::pow(0.1f, k);
        if (i % 32 == 0) lp.set(biquad::low, 6000 * std::pow(0.1f, k) + 300, 0.7f);
        float wob = 1.0f + 0.02f * lfo.sine(9);
        float env = std::min(1.0f, t / 0.005f) * std::pow(1 - k, 1.5f);
        s[i] = (a.sine(f * wob) * 0.6f + b.saw(f * 0.5f) * 0.15f + lp(n()) * 0.25f) * env;
    }
    return finish(s, 1.3f, 0.3f);
}

sound make_bomb() {
    // A deep thump under a rumbling burst of noise, with crackles.
    mono s(secs(1.4), 0.0f);
    white n(33), c(34);
    biquad lp;
    double ph = 0;
    rng crack(35);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / sample_rate;
        if (i % 32 == 0) lp.set(biquad::low, 200 + 4000 * std::exp(-t * 6), 0.7f);
        float f = 32 + 90 * std::exp(-t * 12);
        ph += 2 * pi * f / sample_rate;
        float thump = float(std::sin(ph)) * perc(t, 0.002f, 0.35f);
        float rumble = lp(n()) * perc(t, 0.004f, 0.4f);
        float crackle = crack.uniform() > 0.9985f - 0.003f * std::exp(-t * 4) ? c() * 1.5f : 0.0f;
        s[i] = thump * 1.0f + rumble * 0.9f + crackle * perc(t, 0.05f, 0.3f);
    }
    return finish(s, 1.5f, 0.1f);
}

sound make_loose() {
    // Four falling notes on a muted horn, the last one drooping: time is up.
    mono s;
    const float keys[] = {67, 66, 65, 64};  // G4 F#4 F4 E4
    for (int k = 0; k < 4; ++k) {
        float len = k == 3 ? 0.5f : 0.2f;
        mono note = brass(note_hz(keys[k]), len, 0.7f);
        if (k == 3) {
            // Let the last note sag a little as it dies.
            osc o;
            mono sag(note.size());
            for (size_t i = 0; i < sag.size(); ++i) {
                float t = float(i) / sample_rate;
                sag[i] = o.sine(note_hz(keys[k]) * (1.0f - 0.03f * smooth(0.1f, 0.6f, t)));
            }
            for (size_t i = 0; i < note.size(); ++i)
                note[i] =
                    note[i] * 0.8f +
                    sag[i] * 0.2f * adsr(float(i) / sample_rate, len, 0.02f, 0.1f, 0.8f, 0.12f);
        }
        mix_in(s, note, 0.25 * k, 0.8f);
        mix_in(s, celesta(note_hz(keys[k] + 12), len, 0.4f), 0.25 * k, 0.25f);
        mix_in(s, jingle(0.5f - 0.1f * float(k), uint32_t(40 + k)), 0.25 * k, 0.3f);
    }
    return finish(s, 1.5f, 0.2f);
}

sound make_chime() {
    // A soft, short tick of a bell for the menus.
    mono s;
    mix_in(s, celesta(note_hz(93), 0.03f, 0.7f), 0.0, 1.0f);  // A6
    mix_in(s, glock(note_hz(100), 0.03f, 0.3f), 0.0, 0.3f);
    return finish(s, 0.22f, 0.0f, fx_level - 3.0f);
}

}  // namespace ag
