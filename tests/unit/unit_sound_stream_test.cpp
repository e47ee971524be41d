// Music played as it decodes: the file read a stretch at a time, and what the player hears
// from a streamed track (OpenAL Soft's "wave" output, in a child process per run as in
// unit_sound_mix_test), and the voices, buffers and thread a track holds on a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "media/backend/decoders/ogg_decode.h"
#include "media/backend/openal/music_stream.h"
#include "media/backend/openal/openal_output.h"
#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/test_platform.h"

namespace fs = std::filesystem;

namespace {

using media::backend::ogg_reader;
using media::backend::pcm_sound;

constexpr int rate = 44100;

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST(unit_sound_stream, reading_a_stretch_at_a_time_gives_the_whole_decode) {
    for (const int channels : {1, 2, 3}) {
        const auto file = test_support::encode_tone(22050, channels, 441000);  // many pages
        // A file cut short: what is left still reads to the length its last page gives,
        // the length the silent game keeps time by.
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + file.size() * 3 / 5);
        for (const auto* bytes : {&file, &cut}) {
            const std::string what =
                std::to_string(channels) + " channels" + (bytes == &cut ? ", cut short" : "");
            pcm_sound whole;
            std::string error;
            ASSERT_TRUE(media::backend::decode_ogg(*bytes, whole, error)) << what << ": " << error;
            ogg_reader reader;
            ASSERT_TRUE(reader.open(*bytes, error)) << what << ": " << error;
            EXPECT_EQ(static_cast<std::int64_t>(whole.frames()), reader.frames()) << what;
            EXPECT_EQ(whole.channels, reader.channels()) << what;
            EXPECT_EQ(22050, reader.rate()) << what;

            // Odd-sized reads, then the start again after a rewind: sample for sample.
            std::vector<std::int16_t> got;
            for (int pass = 0; pass < 2; ++pass) {
                std::vector<std::int16_t> piece(999 * 2);
                for (long n; (n = reader.read(piece.data(), 999)) > 0;)
                    got.insert(got.end(), piece.begin(), piece.begin() + n * whole.channels);
                ASSERT_TRUE(reader.rewind()) << what;
            }
            ASSERT_EQ(whole.samples.size() * 2, got.size()) << what;
            // Only the whole decode of a cut file fades its last 10 ms out.
            const auto faded = static_cast<std::ptrdiff_t>(bytes == &cut ? 220 * channels : 0);
            const auto play = static_cast<std::ptrdiff_t>(whole.samples.size());
            EXPECT_TRUE(std::equal(whole.samples.begin(), whole.samples.end() - faded, got.begin()))
                << what << ": the first play differs from the whole decode";
            EXPECT_TRUE(std::equal(got.begin(), got.begin() + play, got.begin() + play))
                << what << ": the play after the rewind differs from the first";
            if (faded > 0) {
                EXPECT_EQ(0, whole.samples.back()) << what << ": a cut sound fades to 0";
            }
        }
    }
    ogg_reader none;
    std::string error;
    const std::vector<std::uint8_t> junk{'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0};
    EXPECT_FALSE(none.open(junk, error));
    EXPECT_FALSE(error.empty());
    std::int16_t sample[2];
    EXPECT_EQ(-1, none.read(sample, 1)) << "a reader that did not open reads nothing";
}

// ---- What the player hears ----------------------------------------------------------

std::string wave_dir() {
    if (const char* d = std::getenv("GF_UNIT_SOUND_STREAM_DIR")) return d;
    char tmpl[] = "/tmp/gf_unit_sound_stream_XXXXXX";
    if (!mkdtemp(tmpl)) return "/tmp";
    setenv("GF_UNIT_SOUND_STREAM_DIR", tmpl, 1);
    return tmpl;
}

// In the child: the device writes its mix to `wav` in `dir`, which holds the track.
void open_wave_device(const std::string& dir, const std::string& wav) {
    const std::string conf = dir + "/" + wav + ".conf";
    std::ofstream(conf) << "drivers=wave\nsample-type=int16\ndither=false\nfrequency=" << rate
                        << "\n[wave]\nfile=" << dir << "/" << wav << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    test_support::install_test_platform();
    media::set_game_dir(dir);
    media::open_audio(true);
    if (media::audio_is_silent()) std::exit(3);
}

// The first channel of a 16-bit WAV file; empty when it is not one.
std::vector<int> left_of(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> b{std::istreambuf_iterator<char>(f), {}};
    auto u16 = [&](std::size_t at) { return b[at] | (b[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | (std::uint32_t(u16(at + 2)) << 16); };
    std::vector<int> out;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return out;
    int channels = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const std::size_t len = std::min<std::size_t>(u32(at + 4), b.size() - at - 8);
        if (id == "fmt ") channels = u16(at + 10), bits = u16(at + 22);
        if (id == "data" && bits == 16 && channels > 0) {
            for (std::size_t i = at + 8; i + 1 < at + 8 + len; i += 2 * channels)
                out.push_back(static_cast<std::int16_t>(u16(i)));
            return out;
        }
        at += 8 + len + (len & 1);
    }
    return out;
}

// The mix of a mono track is its samples times one gain: `gain` and where it starts.
struct heard_track {
    const std::vector<int>& out;
    const std::vector<std::int16_t>& pcm;
    double gain = 0.0;

    int expected(long track_frame) const {
        const long n = static_cast<long>(pcm.size());
        return static_cast<int>(std::lround(gain * pcm[static_cast<std::size_t>(track_frame % n)]));
    }
    // How many output samples from `at` match the track read on from `track_frame`.
    long matching(long at, long track_frame) const {
        long k = 0;
        while (at + k < static_cast<long>(out.size()) &&
               std::abs(out[static_cast<std::size_t>(at + k)] - expected(track_frame + k)) <= 3)
            ++k;
        return k;
    }
    // The output sample where the track starts at its first frame, the gain fitted there;
    // -1 when it does not.
    long find_start() {
        long first = 0;
        while (first < static_cast<long>(out.size()) && out[static_cast<std::size_t>(first)] == 0)
            ++first;
        long best = -1, best_run = 0;
        double best_gain = 0.0;
        for (long at = std::max(0L, first - 8); at <= first + 8; ++at) {
            double op = 0.0, pp = 0.0;
            for (long k = 0; k < 2048 && at + k < static_cast<long>(out.size()); ++k) {
                const double p = pcm[static_cast<std::size_t>(k) % pcm.size()];
                op += out[static_cast<std::size_t>(at + k)] * p;
                pp += p * p;
            }
            gain = pp > 0.0 ? op / pp : 0.0;
            if (const long run = matching(at, 0); run > best_run)
                best = at, best_run = run, best_gain = gain;
        }
        gain = best_gain;
        return best_run >= 2048 ? best : -1;
    }
};

// The track: a tone of 0.25 s whose end does not meet its start, so the join shows.
std::vector<std::uint8_t> loop_file() {
    return test_support::encode_tone(rate, 1, rate / 4, 0.5f, 523.0f);
}

[[noreturn]] void play_loop_with_a_pause(const std::string& dir) {
    open_wave_device(dir, "loop.wav");
    const auto music = media::load_sound("Loop.ogg", 1);
    if (!music) std::exit(4);
    auto chn = media::cue_sound(music);
    media::resume_channel(chn);
    test_support::wait_for_mix(700);
    media::pause_channel(chn);
    test_support::wait_for_mix(300);
    media::resume_channel(chn);
    test_support::wait_for_mix(300);
    media::stop_channel(chn);
    const bool stopped = media::channel_playing(chn) == 0;
    media::resume_channel(chn);
    test_support::wait_for_mix(200);
    media::close_audio();  // finishes the file
    std::exit(stopped ? 0 : 5);
}

TEST(unit_sound_stream, a_streamed_track_loops_sample_for_sample_and_pauses_in_place) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = wave_dir();
    test_support::write_bytes(dir + "/Loop.ogg", loop_file());
    EXPECT_EXIT(play_loop_with_a_pause(dir), testing::ExitedWithCode(0), "");

    pcm_sound track;
    std::string error;
    ASSERT_TRUE(media::backend::decode_ogg(loop_file(), track, error)) << error;
    const long length = static_cast<long>(track.frames());
    const std::vector<int> out = left_of(dir + "/loop.wav");
    ASSERT_GT(out.size(), std::size_t{rate}) << "no mix written";

    heard_track heard{out, track.samples};
    const long start = heard.find_start();
    ASSERT_GE(start, 0) << "the mix should open with the track's first samples";
    EXPECT_GT(heard.gain, 0.3);
    // Up to the pause it is the track over and over, every join exact: no gap, no click.
    const long first_run = heard.matching(start, 0);
    EXPECT_GT(first_run, 2 * length + rate / 10)
        << "expected the track to play on past two joins, it held for " << first_run
        << " frames of " << length << " a loop";

    // Paused, then on from where it stopped.
    long resumed = start + first_run;
    while (resumed < static_cast<long>(out.size()) && std::abs(out[resumed]) < 2) ++resumed;
    ASSERT_LT(resumed, static_cast<long>(out.size())) << "nothing heard after the pause";
    EXPECT_GT(resumed - (start + first_run), rate / 5) << "the pause should be heard as silence";
    long at_frame = -1, best = 0;
    for (long f = 0; f < length; ++f) {
        const long run = heard.matching(resumed, f);
        if (run > best) best = run, at_frame = f;
    }
    const long paused_at = first_run % length;
    const long off =
        std::min(std::abs(at_frame - paused_at), length - std::abs(at_frame - paused_at));
    EXPECT_LE(off, 512) << "expected the track to go on from frame " << paused_at
                        << ", it went on from " << at_frame;
    EXPECT_GT(best, rate / 5) << "the resumed track should play on for its 300 ms";

    // Stopped for good: a resume after the stop stays silent to the end of the mix.
    const long after = resumed + best + rate / 20;
    int tail = 0;
    for (long i = after; i < static_cast<long>(out.size()); ++i)
        tail = std::max(tail, std::abs(out[i]));
    EXPECT_LT(after + rate / 10, static_cast<long>(out.size()));
    EXPECT_EQ(0, tail) << "a stopped track must stay stopped";
    fs::remove_all(dir);
    unsetenv("GF_UNIT_SOUND_STREAM_DIR");
}

[[noreturn]] void play_quiet_then_loud(const std::string& dir) {
    open_wave_device(dir, "volume.wav");
    const auto music = media::load_sound("Loop.ogg", 1);
    if (!music) std::exit(4);
    auto chn = media::cue_sound(music);
    media::set_channel_volume(chn, 0.0f);
    media::resume_channel(chn);
    test_support::wait_for_mix(400);
    media::set_channel_volume(chn, 1.0f);
    test_support::wait_for_mix(300);
    media::close_audio();
    std::exit(0);
}

TEST(unit_sound_stream, a_volume_change_is_heard_at_once) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = wave_dir();
    test_support::write_bytes(dir + "/Loop.ogg", loop_file());
    EXPECT_EXIT(play_quiet_then_loud(dir), testing::ExitedWithCode(0), "");

    const std::vector<int> out = left_of(dir + "/volume.wav");
    ASSERT_GT(out.size(), std::size_t{rate / 2}) << "no mix written";
    std::size_t loud_from = 0;
    while (loud_from < out.size() && out[loud_from] == 0) ++loud_from;
    int after = 0;
    for (std::size_t i = loud_from; i < out.size(); ++i) after = std::max(after, std::abs(out[i]));
    EXPECT_GT(after, 4000) << "a half-scale tone at volume 1";
    EXPECT_GT(loud_from, std::size_t{rate / 4}) << "volume 0 must be silent";
    EXPECT_GT(out.size() - loud_from, std::size_t{rate / 5})
        << "the raised volume should be heard within a few ms, not after what was queued";
    fs::remove_all(dir);
    unsetenv("GF_UNIT_SOUND_STREAM_DIR");
}

// ---- Voices, buffers and the feeding thread ------------------------------------------

class unit_sound_stream_device : public testing::Test {
  protected:
    void SetUp() override {
        test_support::install_test_platform();
        char tmpl[] = "/tmp/gf_unit_stream_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
        media::set_game_dir(dir);
        test_support::write_bytes(dir + "/Loop.ogg", loop_file());
        media::close_audio();
        media::open_audio(true);
    }
    void TearDown() override {
        media::close_audio();
        fs::remove_all(dir);
        media::set_game_dir(media::executable_dir());
        media::install_platform(nullptr);
    }
    // Polls until `done` holds; the deadline is for a machine under load, not a measure.
    template <class F>
    static bool soon(F done) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < give_up) sleep_ms(5);
        return done();
    }
    // A stopped track fades out first: its voice and buffers come back once it is quiet.
    static bool settled() {
        return soon([] {
            media::backend::settle_fades();
            return media::backend::fading_sources() == 0;
        });
    }
    static bool fed(int count) {
        return soon([count] { return media::backend::streams_fed() == count; });
    }
    std::string dir;
};

TEST_F(unit_sound_stream_device, a_stopped_or_dropped_track_gives_everything_back) {
    if (media::audio_is_silent())
        GTEST_SKIP() << "no OpenAL device (run under ALSOFT_DRIVERS=null)";
    const auto music = media::load_sound("Loop.ogg", 1);
    const auto effect = media::load_sound("Loop.ogg", 0);
    ASSERT_TRUE(music && effect);
    const int buffers = media::backend::buffers_made();

    // The screens' way: stop the old track, start the next, the menus changing the volume
    // and focus coming and going meanwhile.
    media::channel_ref chn;
    for (int i = 0; i < 40; ++i) {
        media::stop_channel(chn);
        EXPECT_EQ(0, media::channel_playing(chn));
        chn = media::cue_sound(music);
        media::set_channel_volume(chn, static_cast<float>(i % 5) / 4.0f);
        media::resume_channel(chn);
        if (i % 3 == 0) media::pause_channel(chn);
        if (i % 3 == 0) media::resume_channel(chn);
        if (i % 7 == 0) sleep_ms(30);
        EXPECT_EQ(1, media::channel_playing(chn));
    }
    const int sources = media::backend::sources_made();
    media::stop_channel(chn);
    media::resume_channel(chn);
    EXPECT_EQ(0, media::channel_playing(chn)) << "a stopped track does not start again";
    EXPECT_TRUE(settled()) << media::backend::fading_sources() << " still fading";
    EXPECT_EQ(buffers, media::backend::buffers_made()) << "a stopped track frees its buffers";
    EXPECT_TRUE(fed(0)) << media::backend::streams_fed() << " streams still fed";

    // Cued and dropped, or left playing when the game lets go and then paused: the same.
    for (int i = 0; i < 20; ++i) media::cue_sound(music);
    chn = media::cue_sound(music);
    media::resume_channel(chn);
    media::pause_channel(chn);
    chn.reset();
    media::resume_channel(media::cue_sound(effect));  // reclaims
    EXPECT_TRUE(settled());
    EXPECT_EQ(buffers, media::backend::buffers_made());
    EXPECT_TRUE(fed(0));
    EXPECT_LE(media::backend::sources_made(), sources + 1) << "voices should be reused";
}

TEST_F(unit_sound_stream_device, a_track_outlives_the_device_harmlessly) {
    if (media::audio_is_silent())
        GTEST_SKIP() << "no OpenAL device (run under ALSOFT_DRIVERS=null)";
    auto music = media::load_sound("Loop.ogg", 1);
    ASSERT_TRUE(music);
    auto playing = media::cue_sound(music);
    media::resume_channel(playing);
    auto cued = media::cue_sound(music);
    ASSERT_TRUE(test_support::wait_for_mix(50));
    media::close_audio();  // joins the feeding thread mid-play
    EXPECT_EQ(0, media::backend::streams_fed());
    EXPECT_EQ(0, media::channel_playing(playing));
    media::resume_channel(cued);
    media::set_channel_volume(cued, 0.5f);
    media::pause_channel(cued);
    EXPECT_EQ(0, media::channel_playing(cued));

    // A device opened again streams afresh; the old channels still do nothing.
    media::open_audio(true);
    ASSERT_FALSE(media::audio_is_silent());
    auto again = media::cue_sound(music);
    media::resume_channel(again);
    ASSERT_TRUE(test_support::wait_for_mix(300));  // past the track's length
    EXPECT_EQ(1, media::channel_playing(again)) << "a loop plays on past its length";
    media::resume_channel(playing);
    EXPECT_EQ(0, media::channel_playing(playing));
    EXPECT_EQ(1, media::backend::streams_fed());
    playing.reset();
    cued.reset();
    music.reset();  // the channel keeps its sound
    ASSERT_TRUE(test_support::wait_for_mix(100));
    EXPECT_EQ(1, media::channel_playing(again));
}

TEST(unit_sound_stream_silent, music_keeps_its_length_on_the_clock) {
    auto& clock = test_support::install_test_platform();
    char tmpl[] = "/tmp/gf_unit_stream_silent_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(tmpl));
    const std::string dir = tmpl;
    media::set_game_dir(dir);
    media::close_audio();
    media::open_audio(false);
    // The length comes from the file's last page, the same as a full decode gives.
    for (const int ms : {100, 1250, 4000}) {
        test_support::write_bytes(dir + "/Track.ogg",
                                  test_support::encode_tone(rate, 2, rate * ms / 1000));
        const auto effect = media::load_sound("Track.ogg", 0);
        const auto music = media::load_sound("Track.ogg", 1);
        ASSERT_TRUE(effect && music);
        EXPECT_EQ(ms, media::sound_length_ms(music));
        EXPECT_EQ(media::sound_length_ms(effect), media::sound_length_ms(music));
        auto chn = media::cue_sound(music);
        media::resume_channel(chn);
        clock.clock_ms += 100 * ms;
        EXPECT_EQ(1, media::channel_playing(chn)) << "a loop never finishes";
    }
    media::close_audio();
    fs::remove_all(dir);
    media::set_game_dir(media::executable_dir());
    media::install_platform(nullptr);
}

}  // namespace
