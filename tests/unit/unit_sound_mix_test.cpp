// What the player hears: a played sound really reaches OpenAL's mix, and volume 0 is
// silence. OpenAL Soft's "wave" output writes the mix to a file; it reads its settings
// once per process, so each run happens in a child process of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/test_platform.h"

namespace fs = std::filesystem;

namespace {

// The folder is made by the parent and handed to the child through the environment.
std::string shared_dir() {
    if (const char* d = std::getenv("GF_UNIT_SOUND_MIX_DIR")) return d;
    char tmpl[] = "/tmp/gf_unit_sound_mix_XXXXXX";
    if (!mkdtemp(tmpl)) return "/tmp";
    setenv("GF_UNIT_SOUND_MIX_DIR", tmpl, 1);
    return tmpl;
}

// In the child: plays a 300 ms tone at `volume` into `wav`, exit status 0 when it played.
[[noreturn]] void play_into_wave(const std::string& dir, const std::string& wav, float volume) {
    const std::string conf = dir + "/" + wav + ".conf";
    std::ofstream(conf) << "drivers=wave\nsample-type=int16\ndither=false\n[wave]\nfile=" << dir
                        << "/" << wav << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    test_support::install_test_platform();
    media::set_game_dir(dir);
    test_support::write_bytes(dir + "/Tone.ogg", test_support::encode_tone(44100, 1, 13230));
    media::open_audio(true);
    if (media::audio_is_silent()) std::exit(3);
    const auto snd = media::load_sound("Tone.ogg", 0);
    if (!snd) std::exit(4);
    auto chn = media::cue_sound(snd);
    media::set_channel_volume(chn, volume);
    media::resume_channel(chn);
    // The tone lasts 0.3 s of the mix; a minute of wall time is for a machine under load.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (media::channel_playing(chn) && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const bool ended = media::channel_playing(chn) == 0;
    media::close_audio();  // finishes the file
    std::exit(ended ? 0 : 5);
}

// The loudest 16-bit sample in a WAV file, or -1 when it is not one.
int peak_of(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<unsigned char> b{std::istreambuf_iterator<char>(f), {}};
    auto u16 = [&](std::size_t at) { return b[at] | (b[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | (std::uint32_t(u16(at + 2)) << 16); };
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return -1;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const std::size_t len = std::min<std::size_t>(u32(at + 4), b.size() - at - 8);
        if (id == "fmt ") bits = u16(at + 8 + 14);
        if (id == "data") {
            if (bits != 16) return -1;
            int peak = 0;
            for (std::size_t i = at + 8; i + 1 < at + 8 + len; i += 2)
                peak = std::max(peak, std::abs(int(static_cast<std::int16_t>(u16(i)))));
            return peak;
        }
        at += 8 + len + (len & 1);
    }
    return -1;
}

TEST(unit_sound_mix, a_played_sound_reaches_the_mix_and_volume_0_is_silent) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string dir = shared_dir();

    EXPECT_EXIT(play_into_wave(dir, "loud.wav", 1.0f), testing::ExitedWithCode(0), "");
    const int loud = peak_of(dir + "/loud.wav");
    EXPECT_GT(loud, 4000) << "a half-scale tone should be in the mix, peak " << loud;

    EXPECT_EXIT(play_into_wave(dir, "quiet.wav", 0.0f), testing::ExitedWithCode(0), "");
    EXPECT_EQ(0, peak_of(dir + "/quiet.wav")) << "volume 0 must be silent";

    fs::remove_all(dir);
    unsetenv("GF_UNIT_SOUND_MIX_DIR");
}

TEST(unit_sound_mix, no_device_plays_silent_with_one_line) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
            test_support::install_test_platform();
            testing::internal::CaptureStderr();
            media::open_audio(true);
            const std::string err = testing::internal::GetCapturedStderr();
            std::fputs(err.c_str(), stderr);
            int ours = 0;  // OpenAL may add lines of its own
            for (std::size_t at = err.find("glimmerfrost:"); at != std::string::npos;
                 at = err.find("glimmerfrost:", at + 1))
                ++ours;
            std::exit(media::audio_is_silent() && ours == 1 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "glimmerfrost: audio: no output device, playing silent\n");
}

}  // namespace
