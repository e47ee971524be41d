// The generator's sound blocks: the score language, chords, the loop bus,
// levels and the Ogg writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "asset_files.h"
#include "song.h"
#include "synth.h"

using namespace ag;

TEST(Score, ReadsNotesLengthsRestsAndChords) {
    std::vector<note_ev> n = score("C4/1 D#4 r/2 | Bb3+D4/.5! E5");
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].keys, std::vector<int>{60});
    EXPECT_DOUBLE_EQ(n[1].beat, 1.0);  // the length carries on
    EXPECT_EQ(n[1].keys, std::vector<int>{63});
    EXPECT_DOUBLE_EQ(n[2].beat, 4.0);  // after a two-beat rest
    EXPECT_EQ(n[2].keys, (std::vector<int>{58, 62}));
    EXPECT_DOUBLE_EQ(n[2].len, 0.5);
    EXPECT_GT(n[2].vel, n[0].vel) << "'!' accents";
    EXPECT_DOUBLE_EQ(n[3].beat, 4.5);
    EXPECT_DOUBLE_EQ(score("C4/1", 8)[0].beat, 8.0);
}

TEST(Score, ChordNames) {
    chord g = chord_of("G", 3);
    EXPECT_EQ(g.tones, (std::vector<int>{55, 59, 62}));
    EXPECT_EQ(g.bass, 55);
    EXPECT_EQ(chord_of("Em", 3).tones, (std::vector<int>{52, 55, 59}));
    EXPECT_EQ(chord_of("D7", 3).tones, (std::vector<int>{50, 54, 57, 60}));
    EXPECT_EQ(chord_of("Fmaj7", 3).tones, (std::vector<int>{53, 57, 60, 64}));
    EXPECT_EQ(chord_of("Bbm", 3).tones, (std::vector<int>{58, 61, 65}));
    chord slash = chord_of("F/A", 3);
    EXPECT_EQ(slash.tones.front(), 53);
    EXPECT_EQ(slash.bass, 57);
    EXPECT_EQ(progression("C | G Am", 3).size(), 3u);
}

TEST(Bus, LoopingBusWrapsTailsToTheStart) {
    bus b(4, 60, true);  // four seconds
    ASSERT_EQ(b.frames(), size_t(4 * sample_rate));
    mono blip(size_t(sample_rate), 1.0f);
    b.put(3.5, blip, 1.0f, 0.0f);
    EXPECT_GT(b.l[size_t(sample_rate / 4)], 0.5f) << "the half past the end lands at the start";
    EXPECT_FLOAT_EQ(b.l[size_t(sample_rate)], 0.0f);
    bus once(4, 60, false);
    once.put(3.5, blip, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(once.l[size_t(sample_rate / 4)], 0.0f) << "a one-shot bus drops it";
    // Hard left puts nothing on the right.
    bus pan(1, 60, false);
    pan.put(0, mono(10, 1.0f), 1.0f, -1.0f);
    EXPECT_GT(pan.l[0], 0.9f);
    EXPECT_NEAR(pan.r[0], 0.0f, 1e-6f);
}

TEST(Levels, LimiterHoldsTheCeilingAndTargetLoudnessIsMet) {
    mono s(secs(1.0));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = float(std::sin(2 * pi * 440 * double(i) / sample_rate));
    s[20000] = 5.0f;  // one wild spike
    level(s, -16.0f, -2.0f);
    EXPECT_LE(peak(s), db(-2.0f) * 1.001f);
    // Away from the spike the sine sits at the asked-for loudness.
    mono calm(s.begin(), s.begin() + 15000);
    EXPECT_NEAR(20 * std::log10(rms(calm)), -16.0f, 0.5f);
    mono l(s), r(s);
    level_stereo(l, r, -20.0f, -3.0f, true);
    EXPECT_LE(std::max(peak(l), peak(r)), db(-3.0f) * 1.001f);
}

TEST(Levels, FadesEndInSilence) {
    mono s(1000, 0.7f);
    fade_ends(s, 0.002, 0.003);
    EXPECT_FLOAT_EQ(s.front(), 0.0f);
    EXPECT_FLOAT_EQ(s.back(), 0.0f);
    EXPECT_FLOAT_EQ(s[500], 0.7f);
}

TEST(Reverb, LoopedReverbIsContinuousAcrossTheJoin) {
    // A steady tone that fits the loop exactly: after a circular reverb the
    // end must still run smoothly into the beginning.
    size_t n = size_t(sample_rate);
    mono l(n), r(n);
    for (size_t i = 0; i < n; ++i)
        l[i] = r[i] = 0.3f * float(std::sin(2 * pi * 220.0 * double(i) / sample_rate));
    mono l0 = l;
    reverb_stereo(l, r, 0.3f, 0.8f, 0.35f, true);
    ASSERT_EQ(l.size(), n) << "a loop keeps its length";
    float usual = 0;
    for (size_t i = 1; i < n; ++i) usual = std::max(usual, std::fabs(l[i] - l[i - 1]));
    EXPECT_LE(std::fabs(l[0] - l[n - 1]), usual * 1.2f);
    mono tail = l0;
    reverb(tail, 0.3f, 0.8f, 0.35f, false, 1);
    EXPECT_GT(tail.size(), n) << "a one-shot lets its tail ring out";
}

TEST(OggFiles, WrittenSoundDecodesToTheSameLengthAndShape) {
    sound s{2, {}};
    for (int i = 0; i < 30000; ++i) {
        float v = 0.5f * float(std::sin(2 * pi * 330 * i / double(sample_rate)));
        s.data.push_back(v);
        s.data.push_back(-v);
    }
    std::string path = (std::filesystem::temp_directory_path() / "assetgen_roundtrip.ogg").string();
    ASSERT_TRUE(write_ogg(path, s, 1234));
    gf_test::audio a = gf_test::decode_ogg(path);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.rate, 44100);
    EXPECT_EQ(a.channels, 2);
    EXPECT_EQ(a.frames(), 30000u) << "no padding: loops keep their exact length";
    double err = 0;
    for (size_t i = 2000; i < 28000; ++i)
        err = std::max(err, double(std::fabs(a.samples[i] - s.data[i])));
    EXPECT_LT(err, 0.05);
    std::vector<uint8_t> first = gf_test::file_bytes(path);
    ASSERT_TRUE(write_ogg(path, s, 1234));
    EXPECT_TRUE(first == gf_test::file_bytes(path)) << "the same sound gives the same bytes";
    std::filesystem::remove(path);
    EXPECT_FALSE(write_ogg("/nonexistent-folder/x.ogg", s, 1));
}
