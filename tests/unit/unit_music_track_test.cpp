// The music channel: a new track always replaces the old one, which must stop, so no
// looping channel is left playing out of reach of the volume and the suspend.
#include <gtest/gtest.h>

#include <filesystem>

#include "media/assets.h"
#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace {

class unit_music_track : public testing::TestWithParam<bool> {
  protected:
    test_support::temp_dir dir;
    void SetUp() override {
        test_support::install_test_platform();
        std::filesystem::create_directories(dir / "Data");
        for (const char* name : {"intro", "play", "Win"}) {
            test_support::write_bytes((dir / "Data").string() + "/" + name + ".ogg",
                                      test_support::encode_tone(22050, 1, 22050 / 2));
        }
        media::set_game_dir(dir.path().string());
        media::close_audio();
        media::open_audio(GetParam());  // the null device under ctest, or silent
    }
    void TearDown() override {
        reset_assets();
        media::close_audio();
        media::set_game_dir(media::executable_dir());
        media::install_platform(nullptr);
    }
};

TEST_P(unit_music_track, a_new_track_stops_the_old_one_whoever_starts_it) {
    start_music(1);
    const media::channel_ref title = music_chn;
    ASSERT_EQ(1, media::channel_playing(title));
    // The win track started twice, with no stop in between.
    start_music(3);
    const media::channel_ref first_win = music_chn;
    start_music(3);
    EXPECT_EQ(0, media::channel_playing(title));
    EXPECT_EQ(0, media::channel_playing(first_win));
    EXPECT_EQ(1, media::channel_playing(music_chn));
}

INSTANTIATE_TEST_SUITE_P(device_and_silent, unit_music_track, testing::Values(true, false));

}  // namespace
