// The game while away: the music stands still and plays on from where it stood when the
// focus comes back (silent audio runs on the platform's clock, so a track that kept playing
// while away would be over by then), and a close never waits for the focus.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/game.h"
#include "game/globals.h"
#include "media/assets.h"
#include "media/files.h"
#include "media/sound.h"
#include "support/audio_tone.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace {

using kind = media::platform_event::kind_t;

// Away for six seconds of the game's 20 ms waits, then back.
class away_platform : public test_support::test_platform {
  public:
    int waits_away = 300;
    void wait_event(int ms) override {
        clock_ms += ms;
        if (--waits_away == 0) push(kind::focus_gained);
    }
};

class focus_loss : public testing::Test {
  protected:
    test_support::temp_dir dir;
    away_platform* platform = nullptr;

    void SetUp() override {
        auto p = std::make_unique<away_platform>();
        platform = p.get();
        media::install_platform(std::move(p));
        std::filesystem::create_directories(dir / "Data");
        media::set_game_dir(dir.path().string());
        media::open_audio(false);
        // Half a second of tone: shorter than the time away.
        test_support::write_bytes((dir / "Data/Song.ogg").string(),
                                  test_support::encode_tone(22050, 1, 11025));
    }
    void TearDown() override {
        quit_game = 0;
        music_chn.reset();
        media::close_audio();
        media::set_game_dir(media::executable_dir());
        media::install_platform(nullptr);
    }
};

TEST_F(focus_loss, the_music_holds_while_away_and_plays_on_after) {
    const auto song = media::load_sound("Data\\Song.ogg", 0);
    ASSERT_TRUE(song);
    music_chn = media::cue_sound(song);
    media::resume_channel(music_chn);
    platform->clock_ms += 100;

    platform->push(kind::focus_lost);
    check_suspend();
    ASSERT_EQ(platform->waits_away, 0) << "the game waited until the focus came back";
    EXPECT_EQ(1, media::channel_playing(music_chn)) << "six seconds away, still mid-song";

    platform->clock_ms += 1000;
    EXPECT_EQ(0, media::channel_playing(music_chn)) << "playing again, so it ends";
}

TEST_F(focus_loss, music_that_was_stopped_stays_stopped) {
    const auto song = media::load_sound("Data\\Song.ogg", 0);
    ASSERT_TRUE(song);
    music_chn = media::cue_sound(song);  // cued for the next screen, never started
    platform->push(kind::focus_lost);
    check_suspend();
    EXPECT_EQ(0, media::channel_playing(music_chn)) << "coming back must not start it";
}

TEST_F(focus_loss, a_close_taken_before_the_wait_ends_it_at_once) {
    // The intro took the close request and set the quit; the pass that follows must not
    // then wait for a focus that may never come back (a logout while away).
    quit_game = 1;
    platform->push(kind::focus_lost);
    check_suspend();
    EXPECT_EQ(platform->waits_away, 300) << "the game waited for the focus";
}

}  // namespace
