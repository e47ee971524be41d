// The sounds: they decode at 44.1 kHz with sensible lengths, never clip,
// start and end cleanly, and the music loops join without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_files.h"

using namespace gf_test;

namespace {

struct expected_sound {
    const char* file;
    double min_secs, max_secs;
};
const expected_sound effects[] = {
    {"LogoHit.ogg", 0.1, 1.5}, {"Present.ogg", 0.1, 1.5}, {"Warper.ogg", 0.1, 1.5},
    {"WarpIn.ogg", 0.1, 1.5},  {"WarpOut.ogg", 0.1, 1.5}, {"Bomb.ogg", 0.1, 1.5},
    {"Loose.ogg", 0.1, 1.5},   {"Chime.ogg", 0.1, 1.5},
};
const expected_sound music[] = {
    {"intro.ogg", 20, 120},
    {"play.ogg", 60, 180},  // at least a minute before it repeats
    {"Win.ogg", 4, 40},
};

const float minus_one_dbfs = 0.8913f;

float peak_of(const audio& a) {
    float p = 0;
    for (float v : a.samples) p = std::max(p, std::fabs(v));
    return p;
}

double db_of(double v) {
    return 20.0 * std::log10(std::max(v, 1e-9));
}

// RMS of frames [from, from + count) over all channels.
double rms_of(const audio& a, size_t from, size_t count) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from * size_t(a.channels);
         i < std::min(a.samples.size(), (from + count) * size_t(a.channels)); ++i, ++n)
        sum += double(a.samples[i]) * a.samples[i];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}

// How loud an effect sounds: its loudest 300 ms.
double loudest_300ms(const audio& a) {
    size_t win = size_t(0.3 * double(a.rate)), step = win / 10;
    double best = 0;
    for (size_t f = 0; f == 0 || f + win <= a.frames(); f += step)
        best = std::max(best, rms_of(a, f, win));
    return best;
}

void expect_decodes(const expected_sound& s) {
    audio a = decode_ogg(data_path(s.file));
    ASSERT_TRUE(a.ok) << s.file << " does not decode";
    EXPECT_EQ(a.rate, 44100) << s.file;
    EXPECT_TRUE(a.channels == 1 || a.channels == 2) << s.file;
    EXPECT_GE(a.seconds(), s.min_secs) << s.file;
    EXPECT_LE(a.seconds(), s.max_secs) << s.file;
    EXPECT_LE(peak_of(a), minus_one_dbfs) << s.file << ": peak " << db_of(peak_of(a)) << " dBFS";
}

}  // namespace

TEST(Sounds, EffectsDecodeWithTheirLengthsAndNoClipping) {
    for (const expected_sound& s : effects) expect_decodes(s);
}

TEST(Sounds, MusicDecodesWithItsLengthsAndNoClipping) {
    for (const expected_sound& s : music) expect_decodes(s);
}

TEST(Sounds, EffectsStartAtOnceAndEndInSilence) {
    for (const expected_sound& s : effects) {
        audio a = decode_ogg(data_path(s.file));
        ASSERT_TRUE(a.ok) << s.file;
        size_t ch = size_t(a.channels);
        EXPECT_LT(std::fabs(a.samples.front()), 0.02f) << s.file << " clicks as it starts";
        float tail = 0;
        for (size_t i = a.samples.size() - std::min(a.samples.size(), size_t(64) * ch);
             i < a.samples.size(); ++i)
            tail = std::max(tail, std::fabs(a.samples[i]));
        EXPECT_LT(tail, 0.02f) << s.file << " is cut off at the end";
        // A fast attack: well on its way within the first 60 ms.
        size_t early = std::min(a.frames(), size_t(0.06 * double(a.rate)));
        float first = 0;
        for (size_t i = 0; i < early * ch; ++i) first = std::max(first, std::fabs(a.samples[i]));
        EXPECT_GT(first, peak_of(a) * 0.2f) << s.file << " takes too long to start";
    }
}

TEST(Sounds, EffectsSitAFewDecibelsAboveTheMusic) {
    double music_db = 0;
    for (const expected_sound& m : music) {
        audio a = decode_ogg(data_path(m.file));
        ASSERT_TRUE(a.ok) << m.file;
        music_db += db_of(rms_of(a, 0, a.frames())) / 3.0;
    }
    for (const expected_sound& s : effects) {
        audio a = decode_ogg(data_path(s.file));
        ASSERT_TRUE(a.ok) << s.file;
        double above = db_of(loudest_300ms(a)) - music_db;
        EXPECT_GE(above, -1.0) << s.file << " would drown in the music";
        EXPECT_LE(above, 7.0) << s.file << " would jump out of the music";
    }
}

TEST(Music, LoopsJoinWithoutAJump) {
    for (const expected_sound& m : music) {
        audio a = decode_ogg(data_path(m.file));
        ASSERT_TRUE(a.ok) << m.file;
        size_t ch = size_t(a.channels), n = a.frames();
        // The usual step from one sample to the next, over the whole piece.
        double steps = 0;
        for (size_t i = ch; i < a.samples.size(); ++i)
            steps += std::fabs(a.samples[i] - a.samples[i - ch]);
        double usual = steps / double(a.samples.size() - ch);
        for (size_t c = 0; c < ch; ++c) {
            float jump = std::fabs(a.samples[c] - a.samples[(n - 1) * ch + c]);
            EXPECT_LE(jump, usual * 4 + 0.01)
                << m.file << " channel " << c << " clicks at the join";
        }
        // And the music plays across the join rather than fading out to hide it.
        size_t half = size_t(a.rate / 2);
        EXPECT_GT(db_of(rms_of(a, 0, half)), -40.0) << m.file << " starts from silence";
        EXPECT_GT(db_of(rms_of(a, n - half, half)), -40.0) << m.file << " fades out at its end";
    }
}

TEST(Music, PlayLoopDoesNotRepeatWithinItsMinute) {
    // A thirty-second loop written out twice would pass the length check;
    // the two halves of the round music must be different music.
    audio a = decode_ogg(data_path("play.ogg"));
    ASSERT_TRUE(a.ok);
    size_t ch = size_t(a.channels), half = a.frames() / 2;
    double diff = 0, level = 0;
    for (size_t i = 0; i < half * ch; ++i) {
        diff += std::fabs(a.samples[i] - a.samples[i + half * ch]);
        level += std::fabs(a.samples[i]);
    }
    EXPECT_GT(diff, level * 0.5) << "the second half repeats the first";
}
