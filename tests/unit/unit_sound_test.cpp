// Sounds and channels: bad files, the silent fallback on the game's clock, and voices on a
// real OpenAL device (OpenAL Soft's "No Output" device under ALSOFT_DRIVERS=null).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "media/backend/decoders/ogg_decode.h"
#include "media/backend/openal/openal_output.h"
#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace fs = std::filesystem;

namespace {

class unit_sound : public testing::Test {
  protected:
    void SetUp() override {
        clock = &test_support::install_test_platform();
        dir = test_support::make_temp_dir("gf_unit_sound_").generic_string();
        ASSERT_FALSE(dir.empty());
        fs::create_directory(dir + "/Data");
        media::set_game_dir(dir);
        media::close_audio();
    }
    void TearDown() override {
        media::close_audio();
        fs::remove_all(dir);
        media::set_game_dir(media::executable_dir());
        media::install_platform(nullptr);
    }
    // A 440 Hz tone of exactly `ms` milliseconds at 22050 Hz, as Data\<name>.ogg.
    std::string tone(const std::string& name, int ms, int channels = 1) {
        test_support::write_bytes(dir + "/Data/" + name + ".ogg",
                                  test_support::encode_tone(22050, channels, 22050 * ms / 1000));
        return "Data\\" + name + ".ogg";
    }
    // Waits on the wall clock (a real device plays on its own time) until `done` holds.
    template <class F>
    static bool within_seconds(double s, F done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(s);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    test_support::test_platform* clock = nullptr;
    std::string dir;
};

TEST_F(unit_sound, missing_and_damaged_files_give_no_sound_logged_once) {
    media::open_audio(false);
    test_support::write_bytes(dir + "/Data/Junk.ogg", {'O', 'g', 'g', 'S', 1, 2, 3, 4, 5});
    // Logged once per process: names of this run's own folder keep repeated runs apart.
    const std::string missing = dir + "\\Data\\Missing.ogg", junk = dir + "\\Data\\Junk.ogg";
    testing::internal::CaptureStderr();
    EXPECT_EQ(nullptr, media::load_sound(missing, 0));
    EXPECT_EQ(nullptr, media::load_sound(missing, 0));
    EXPECT_EQ(nullptr, media::load_sound(junk, 1));
    EXPECT_EQ(nullptr, media::load_sound(junk, 1));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(2, std::count(err.begin(), err.end(), '\n')) << "one line per file, got:\n" << err;
    EXPECT_NE(std::string::npos, err.find("glimmerfrost: sound: ")) << err;
    EXPECT_NE(std::string::npos, err.find("Missing.ogg")) << err;
    EXPECT_NE(std::string::npos, err.find("Junk.ogg")) << err;

    // Everything handed no sound or no channel does nothing.
    const media::sound_ref none;
    EXPECT_EQ(nullptr, media::cue_sound(none));
    const media::channel_ref no_channel;
    media::set_channel_volume(no_channel, 0.5f);
    media::resume_channel(no_channel);
    media::pause_channel(no_channel);
    media::stop_channel(no_channel);
    EXPECT_EQ(0, media::channel_playing(no_channel));
    EXPECT_EQ("", media::sound_name(none));
    EXPECT_EQ(0, media::sound_length_ms(none));
}

// Where each page of an Ogg file starts.
std::vector<std::size_t> page_starts(const std::vector<std::uint8_t>& f) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i + 4 <= f.size(); ++i)
        if (f[i] == 'O' && f[i + 1] == 'g' && f[i + 2] == 'g' && f[i + 3] == 'S') at.push_back(i);
    return at;
}

TEST_F(unit_sound, a_damaged_file_plays_what_decodes_and_is_named_once) {
    media::open_audio(false);
    const auto whole = test_support::encode_tone(22050, 1, 22050 * 20);  // 20 s, many pages
    const auto pages = page_starts(whole);
    ASSERT_GT(pages.size(), 6u);
    const std::size_t mid = pages[pages.size() / 2];
    using bytes = std::vector<std::uint8_t>;
    const bytes junk(2048, 0x5A);

    bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    bytes overwritten = whole;
    std::copy(junk.begin(), junk.end(),
              overwritten.begin() + static_cast<std::ptrdiff_t>(mid + 100));
    bytes inserted = whole;
    inserted.insert(inserted.begin() + static_cast<std::ptrdiff_t>(mid), junk.begin(), junk.end());
    bytes page_gone = whole;  // cut out cleanly: every page left is whole
    page_gone.erase(page_gone.begin() + static_cast<std::ptrdiff_t>(mid),
                    page_gone.begin() + static_cast<std::ptrdiff_t>(pages[pages.size() / 2 + 1]));
    bytes padded = whole;
    padded.resize(whole.size() + (1 << 20), 0);

    const struct {
        const char* name;
        const bytes& file;
        const char* damage;
    } cases[] = {{"Cut", cut, "cut short"},
                 {"Overwritten", overwritten, "damaged in the middle"},
                 {"Inserted", inserted, "damaged in the middle"},
                 {"PageGone", page_gone, "damaged in the middle"},
                 {"Padded", padded, "junk after its end"},
                 {"Whole", whole, nullptr}};
    for (const auto& c : cases) {
        const std::string path = dir + "/Data/" + c.name + ".ogg";
        test_support::write_bytes(path, c.file);
        testing::internal::CaptureStderr();
        const auto effect = media::load_sound(path, 0);
        const auto music = media::load_sound(path, 1);  // the same file as a track
        const std::string err = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(effect && music) << c.name << ":\n" << err;
        const int ms = media::sound_length_ms(effect);
        if (!c.damage) {
            EXPECT_EQ("", err) << "a whole file is no news";
            EXPECT_EQ(20000, ms);
            continue;
        }
        EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << c.name << ": once, got:\n" << err;
        EXPECT_NE(std::string::npos,
                  err.find("glimmerfrost: sound: " + path + " is damaged (" + c.damage + ")"))
            << c.name << ": got:\n"
            << err;
        EXPECT_GT(ms, 5000) << c.name << ": what decodes still plays";
        EXPECT_LE(ms, 20000) << c.name;
    }

    // A cut effect fades out instead of ending mid-wave.
    media::backend::pcm_sound pcm;
    std::string error, damage;
    ASSERT_TRUE(media::backend::decode_ogg(cut, pcm, error, damage)) << error;
    EXPECT_EQ("cut short", damage);
    int tail = 0;
    for (std::size_t i = pcm.samples.size() - 5; i < pcm.samples.size(); ++i)
        tail = std::max(tail, std::abs(int{pcm.samples[i]}));
    EXPECT_LT(tail, 500) << "the last samples of a cut sound should be near silence";
}

TEST_F(unit_sound, files_that_are_no_sound_of_ours_are_refused_in_one_line) {
    media::open_audio(false);
    const auto tone = test_support::encode_tone(22050, 1, 22050 * 20);
    const auto pages = page_starts(tone);
    ASSERT_GE(pages.size(), 4u);
    std::vector<std::uint8_t> huge = tone;
    huge.resize(17 << 20, 0);  // far above any sound of the game
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        const char* says;
    } cases[] = {
        {"Wave", {'R', 'I', 'F', 'F', 1, 2, 3, 4}, "no \"OggS\" at its start"},
        {"Leading",
         [&] {
             auto f = tone;
             f.insert(f.begin(), 100, 0);
             return f;
         }(),
         "no \"OggS\" at its start"},
        {"Huge", huge, "larger than"},
        {"Headers",
         {tone.begin(), tone.begin() + static_cast<std::ptrdiff_t>(pages[2])},
         "(cut short)"},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/Data/" + c.name + ".ogg";
        test_support::write_bytes(path, c.file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(nullptr, media::load_sound(path, 0)) << c.name;
        EXPECT_EQ(nullptr, media::load_sound(path, 1)) << c.name;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << c.name << ": once, got:\n" << err;
        EXPECT_NE(std::string::npos, err.find(path)) << err;
        EXPECT_NE(std::string::npos, err.find(c.says)) << c.name << ": got:\n" << err;
    }
}

TEST_F(unit_sound, decoding_keeps_every_sample) {
    for (const int channels : {1, 2, 3}) {
        const auto file = test_support::encode_tone(22050, channels, 12345);
        media::backend::pcm_sound pcm;
        std::string error;
        ASSERT_TRUE(media::backend::decode_ogg(file, pcm, error)) << error;
        EXPECT_EQ(12345u, pcm.frames()) << channels << " channels";
        EXPECT_EQ(channels == 2 ? 2 : 1, pcm.channels) << "wider files play as mono";
        EXPECT_EQ(22050, pcm.rate);
        int peak = 0;
        for (const auto v : pcm.samples) peak = std::max(peak, std::abs(int{v}));
        EXPECT_GT(peak, 10000) << "a tone at half scale";
    }
}

TEST_F(unit_sound, silent_channels_keep_time_on_the_game_clock) {
    media::open_audio(false);
    EXPECT_TRUE(media::audio_is_silent());
    const auto snd = media::load_sound(tone("Present", 500), 0);
    ASSERT_TRUE(snd);
    EXPECT_EQ("Present", media::sound_name(snd));
    EXPECT_EQ(500, media::sound_length_ms(snd));

    auto idle = media::alloc_channel();
    EXPECT_EQ(0, media::channel_playing(idle));
    media::resume_channel(idle);
    media::stop_channel(idle);
    EXPECT_EQ(0, media::channel_playing(idle)) << "the idle channel never plays";

    auto chn = media::cue_sound(snd);
    EXPECT_EQ(0, media::channel_playing(chn)) << "a cued channel has not started";
    clock->clock_ms += 1000;
    media::set_channel_volume(chn, 0.0f);  // silent or not, it keeps its time
    media::resume_channel(chn);
    EXPECT_EQ(1, media::channel_playing(chn));
    clock->clock_ms += 499;
    EXPECT_EQ(1, media::channel_playing(chn)) << "at 499 of 500 ms";
    clock->clock_ms += 1;
    EXPECT_EQ(0, media::channel_playing(chn)) << "finished at 500 ms";
    media::resume_channel(chn);
    EXPECT_EQ(0, media::channel_playing(chn)) << "a finished channel does not start again";

    // Pausing freezes the time played.
    chn = media::cue_sound(snd);
    media::resume_channel(chn);
    clock->clock_ms += 200;
    media::pause_channel(chn);
    clock->clock_ms += 10000;
    EXPECT_EQ(1, media::channel_playing(chn)) << "paused halfway, still under way";
    media::resume_channel(chn);
    clock->clock_ms += 299;
    EXPECT_EQ(1, media::channel_playing(chn)) << "499 ms played";
    clock->clock_ms += 1;
    EXPECT_EQ(0, media::channel_playing(chn));

    // Stopping ends it for good.
    chn = media::cue_sound(snd);
    media::resume_channel(chn);
    media::stop_channel(chn);
    EXPECT_EQ(0, media::channel_playing(chn));
    media::resume_channel(chn);
    EXPECT_EQ(0, media::channel_playing(chn));
}

TEST_F(unit_sound, a_looping_sound_never_finishes) {
    media::open_audio(false);
    const auto music = media::load_sound(tone("Intro", 100), 1);
    ASSERT_TRUE(music);
    auto chn = media::cue_sound(music);
    media::resume_channel(chn);
    clock->clock_ms += 10'000'000;
    EXPECT_EQ(1, media::channel_playing(chn));
    media::stop_channel(chn);
    EXPECT_EQ(0, media::channel_playing(chn));
}

TEST_F(unit_sound, a_device_plays_channels_out_and_reuses_their_voices) {
    media::open_audio(true);
    if (media::audio_is_silent())
        GTEST_SKIP() << "no OpenAL device (run under ALSOFT_DRIVERS=null)";
    const auto snd = media::load_sound(tone("Bomb", 60, 2), 0);
    const auto loop = media::load_sound(tone("Music", 60), 1);
    ASSERT_TRUE(snd && loop);

    auto chn = media::cue_sound(snd);
    media::set_channel_volume(chn, 0.3f);
    media::resume_channel(chn);
    EXPECT_EQ(1, media::channel_playing(chn));
    EXPECT_TRUE(within_seconds(10.0, [&] { return media::channel_playing(chn) == 0; }))
        << "the sound should end on the device's own clock";

    auto music = media::cue_sound(loop);
    media::resume_channel(music);
    media::pause_channel(music);
    EXPECT_EQ(1, media::channel_playing(music)) << "paused, still under way";
    media::resume_channel(music);
    // Timed by the mix: a busy machine may mix 150 ms of sound long after 150 ms have passed.
    ASSERT_TRUE(test_support::wait_for_mix(150));
    EXPECT_EQ(1, media::channel_playing(music)) << "a loop plays on past its length";

    // Channels cued and dropped hand their voice straight back: one voice serves them all.
    media::cue_sound(snd);
    const int made = media::backend::sources_made();
    for (int i = 0; i < 300; ++i) media::cue_sound(snd);
    EXPECT_EQ(made, media::backend::sources_made()) << "a dropped channel's voice is reused";

    // Fire-and-forget effects play at once, each on a voice, and give it back when done.
    std::vector<std::weak_ptr<media::channel>> effects;
    for (int i = 0; i < 8; ++i) {
        auto effect = media::cue_sound(snd);
        media::resume_channel(effect);
        effects.push_back(effect);
    }
    const int busy = media::backend::sources_made();
    EXPECT_EQ(made + 7, busy);
    EXPECT_TRUE(within_seconds(10.0, [&] {
        return std::all_of(effects.begin(), effects.end(),
                           [](const auto& e) { return media::channel_playing(e.lock()) == 0; });
    })) << "the effects should end on the device's own clock";
    for (int i = 0; i < 8; ++i) media::resume_channel(media::cue_sound(snd));
    EXPECT_EQ(busy, media::backend::sources_made()) << "finished effects' voices are reused";

    // A finished channel the game still holds keeps its voice.
    media::stop_channel(music);
    music.reset();
    EXPECT_TRUE(within_seconds(10.0, [&] {
        media::backend::settle_fades();
        return media::backend::fading_sources() == 0;
    })) << "the stopped music should fade out and give its voice back";
    std::vector<media::channel_ref> held;
    for (int i = 0; i < busy; ++i) held.push_back(media::cue_sound(snd));
    EXPECT_EQ(busy + 1, media::backend::sources_made())
        << "expected only the finished channel still held to keep its voice";

    // Closing the device leaves sounds and channels harmless.
    media::close_audio();
    EXPECT_EQ(0, media::channel_playing(chn));
    media::resume_channel(held[0]);
    EXPECT_EQ(0, media::channel_playing(held[0]));
}

}  // namespace
