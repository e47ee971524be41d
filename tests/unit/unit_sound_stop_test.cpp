// A stopped channel fades out instead of clicking, while the game still sees it stop at
// once. What the player hears comes from OpenAL Soft's "wave" output, one child process a
// run (it reads its settings once per process), as in unit_sound_mix_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "media/backend/openal/music_stream.h"
#include "media/backend/openal/openal_output.h"
#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/test_platform.h"

namespace fs = std::filesystem;

namespace {

constexpr int rate = 44100;

// GF_UNIT_SOUND_STOP_DIR set by hand keeps the mix for a listen (or `sox stop.wav -n stat`).
const bool keep_mix = std::getenv("GF_UNIT_SOUND_STOP_DIR") != nullptr;

std::string wave_dir() {
    if (const char* d = std::getenv("GF_UNIT_SOUND_STOP_DIR")) return d;
    char tmpl[] = "/tmp/gf_unit_sound_stop_XXXXXX";
    if (!mkdtemp(tmpl)) return "/tmp";
    setenv("GF_UNIT_SOUND_STOP_DIR", tmpl, 1);
    return tmpl;
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

// In the child: a low tone at full volume, stopped mid-wave three times as music (a track
// left for the title) and three times as an effect. Exit status 0 when every stop showed
// on the game's side at once.
[[noreturn]] void stop_mid_wave(const std::string& dir) {
    const std::string conf = dir + "/stop.conf";
    std::ofstream(conf) << "drivers=wave\nsample-type=int16\ndither=false\nfrequency=" << rate
                        << "\n[wave]\nfile=" << dir << "/stop.wav\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    test_support::install_test_platform();
    media::set_game_dir(dir);
    media::open_audio(true);
    if (media::audio_is_silent()) std::exit(3);
    // 110 whole waves a second: the loop joins smoothly, so only a stop can jump.
    test_support::write_bytes(dir + "/Tone.ogg",
                              test_support::encode_tone(rate, 1, rate, 0.6f, 110));
    const auto music = media::load_sound("Tone.ogg", 1);
    const auto effect = media::load_sound("Tone.ogg", 0);
    if (!music || !effect) std::exit(4);
    bool at_once = true;
    for (int i = 0; i < 6; ++i) {
        auto chn = media::cue_sound(i < 3 ? music : effect);
        // The whole queue filled before it plays: a track run dry on a busy machine would
        // jump as well.
        if (i < 3) media::backend::feed_streams();
        media::resume_channel(chn);
        test_support::wait_for_mix(230 + 17 * i);
        media::stop_channel(chn);
        at_once = at_once && media::channel_playing(chn) == 0;
        media::set_channel_volume(chn, 1.0f);  // a stopped channel stays quiet
        media::resume_channel(chn);
        if (i % 2) chn.reset();  // dropped mid-fade, or still held
        test_support::wait_for_mix(200);
    }
    media::close_audio();  // finishes the file
    std::exit(at_once ? 0 : 5);
}

TEST(unit_sound_stop, a_stopped_channel_fades_out_without_a_click) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = wave_dir();
    EXPECT_EXIT(stop_mid_wave(dir), testing::ExitedWithCode(0), "");

    const std::vector<int> out = left_of(dir + "/stop.wav");
    ASSERT_GT(out.size(), std::size_t{rate}) << "no mix written";
    int peak = 0, jump = 0, plays = 0;
    std::size_t jump_at = 0;
    std::size_t quiet = 2000;  // zeros in a row: a play begins after a silence of 45 ms
    for (std::size_t i = 0; i < out.size(); ++i) {
        peak = std::max(peak, std::abs(out[i]));
        if (i > 0 && std::abs(out[i] - out[i - 1]) > jump)
            jump = std::abs(out[i] - out[i - 1]), jump_at = i;
        if (out[i] != 0 && quiet >= 2000) ++plays;
        quiet = out[i] == 0 ? quiet + 1 : 0;
    }
    EXPECT_GT(peak, 8000) << "the tone should be heard at full volume";
    // The tone itself moves at most 2 pi 110 / 44100 of its peak a sample: about 310.
    EXPECT_LT(jump, 1000) << "expected no sample-to-sample jump above the tone's own, got " << jump
                          << " at sample " << jump_at << ", of a peak of " << peak;
    EXPECT_EQ(6, plays) << "each play should end in silence before the next";
    if (!keep_mix) {
        fs::remove_all(dir);
        unsetenv("GF_UNIT_SOUND_STOP_DIR");
    }
}

}  // namespace
