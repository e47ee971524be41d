// The instruments: in tune, clean at both ends, and never blowing up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "instruments.h"

using namespace ag;

namespace {

struct voice {
    const char* name;
    std::function<mono(float, float, float)> play;
    bool pitched;  // drums and bells of no clear pitch are only checked for cleanliness
};

std::vector<voice> voices() {
    return {{"celesta", celesta, true},
            {"flute", flute, true},
            {"lead", lead, true},
            {"pad", pad, true},
            {"bass", bass, true},
            {"pluck", pluck, true},
            {"brass", brass, true},
            {"glock", glock, false},
            {"kick", [](float, float, float v) { return kick(v); }, false},
            {"snare", [](float, float, float v) { return snare(v); }, false},
            {"hat", [](float, float, float v) { return hat(v, true); }, false},
            {"jingle", [](float, float, float v) { return jingle(v, 3); }, false},
            {"crash", [](float, float, float v) { return crash(v); }, false},
            {"timpani", [](float hz, float, float v) { return timpani(hz, v); }, false}};
}

// Pitch by autocorrelation over [from, to): the shortest lag that lines the
// wave up with itself nearly as well as the best lag does.
float pitch_of(const mono& s, size_t from, size_t to) {
    to = std::min(to, s.size());
    auto corr = [&](size_t lag) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = from; i + lag < to; ++i) {
            xy += double(s[i]) * s[i + lag];
            xx += double(s[i]) * s[i];
            yy += double(s[i + lag]) * s[i + lag];
        }
        return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
    };
    std::vector<double> r(1200, 0.0);
    double best = 0;
    for (size_t lag = 20; lag < r.size(); ++lag) best = std::max(best, r[lag] = corr(lag));
    for (size_t lag = 21; lag + 1 < r.size(); ++lag) {
        if (r[lag] < best * 0.9 || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
        // Parabolic peak for a finer period than whole samples.
        double d = 0.5 * (r[lag - 1] - r[lag + 1]) / (r[lag - 1] - 2 * r[lag] + r[lag + 1]);
        return float(sample_rate / (double(lag) + d));
    }
    return 0.0f;
}

}  // namespace

TEST(Instruments, PlayInTune) {
    for (const voice& v : voices()) {
        if (!v.pitched) continue;
        for (float key : {45.0f, 57.0f, 64.0f}) {  // A2, A3, E4
            float hz = note_hz(key);
            mono s = v.play(hz, 0.6f, 0.8f);
            float got = pitch_of(s, secs(0.1), secs(0.5));
            EXPECT_NEAR(got, hz, hz * 0.03f) << v.name << " at MIDI " << key;
        }
    }
}

TEST(Instruments, StartAndEndCleanlyAndStayBounded) {
    for (const voice& v : voices()) {
        mono s = v.play(note_hz(60), 0.3f, 1.0f);
        ASSERT_GT(s.size(), secs(0.05)) << v.name;
        float p = 0;
        for (float x : s) {
            ASSERT_TRUE(std::isfinite(x)) << v.name;
            p = std::max(p, std::fabs(x));
        }
        EXPECT_GT(p, 0.05f) << v.name << " is silent";
        EXPECT_LT(p, 4.0f) << v.name << " is far too hot";
        EXPECT_LT(std::fabs(s.front()), 0.05f * p + 1e-4f) << v.name << " clicks as it starts";
        EXPECT_LT(std::fabs(s.back()), 0.01f * p + 1e-4f) << v.name << " is cut off";
    }
}

TEST(Instruments, HeldNotesRingOnlyAsLongAsTheirRelease) {
    // A held note sounds for its length and stops soon after: the music's
    // rhythm depends on it.
    for (auto inst : {flute, lead, pad, bass, brass}) {
        mono short_note = inst(note_hz(57), 0.25f, 0.8f);
        mono long_note = inst(note_hz(57), 1.0f, 0.8f);
        EXPECT_GT(long_note.size(), short_note.size() + secs(0.7));
        EXPECT_LT(short_note.size(), secs(0.25 + 1.0));
    }
}

TEST(Instruments, LouderTouchPlaysLouder) {
    for (const voice& v : voices()) {
        float soft = peak(v.play(note_hz(60), 0.3f, 0.3f)),
              hard = peak(v.play(note_hz(60), 0.3f, 0.9f));
        EXPECT_GT(hard, soft * 1.5f) << v.name;
    }
}
