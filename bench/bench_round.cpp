// bench_round [frames]: the real game's heaviest scene, timed frame by frame: round play with
// scan lines on, 50 gifts with their glows on screen, star bursts live and the snow, flat
// and in stereo. Headless (SDL_VIDEODRIVER=offscreen); the clock is virtual, so pacing
// never waits and each frame's time is the work of building and presenting it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/game.h"
#include "game/globals.h"
#include "game/saved_files.h"
#include "media/backend/gl/gl_renderer.h"
#include "media/clock.h"
#include "media/display.h"
#include "media/files.h"
#include "media/platform.h"

void register_game_assets();

namespace {

// Space once, to skip the logo intro; then no input.
class bench_platform : public media::platform {
  public:
    bool poll_event(media::platform_event& ev) override {
        if (skipped_) return false;
        skipped_ = true;
        ev.kind = media::platform_event::key_down;
        ev.code = 32;
        return true;
    }
    void wait_event(int) override {}
    int millisecs() override { return clock_; }
    void sleep_ms(int ms) override { clock_ += std::max(ms, 0); }
    bool may_probe_retrace() override { return false; }

  private:
    bool skipped_ = false;
    int clock_ = 0;
};

// Every gift on screen at once, clear of the player, and a fresh volley of bursts.
void crowd_the_screen(int frame) {
    player->y = 60.0f;
    for (int i = 0; i < 50; ++i) {
        gstuff_tag& g = *stuff[i];
        g.dead = 0;
        g.x = -40.0f + 13.6f * static_cast<float>(i);
        g.y = 150.0f + static_cast<float>((i * 37) % 110);
    }
    for (int i = 0; i < 8; ++i) {
        star3d_tag::shoot_it(60.0f + 70.0f * static_cast<float>(i), 300.0f, (frame + i) % 3);
    }
}

void run(bool stereo, int frames) {
    mode_3d = stereo ? 3 : 0;
    anaglyph_file(0);
    retro_fx = 1;
    player_tag::reset(1);
    star3d_tag::destroy_all();
    game_state = gs_play;
    round_phase = 1;
    player->x = 200.0f;
    std::vector<double> ms;
    std::vector<int> calls;
    std::size_t max_stars = 0;
    for (int f = 0; f < frames + 30; ++f) {
        if (f % 25 == 0) crowd_the_screen(f);
        // Keep the round in active play: the clock never runs out, no stun or boost, and
        // the presents are never all in.
        player->level = 60;
        scroll_spd = -2;
        round_phase = 1;
        stuff_done = 0;
        gifts_total = 99;
        const auto t0 = std::chrono::steady_clock::now();
        main_loop_pass();
        media::backend::finish();
        const auto t1 = std::chrono::steady_clock::now();
        if (f < 30) continue;
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        calls.push_back(media::draw_calls_last_frame());
        max_stars = std::max(max_stars, stars.size());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(calls.begin(), calls.end());
    std::printf(
        "bench_round %s: median %.2f ms p99 %.2f ms, draw calls median %d max %d, "
        "up to %zu bursts\n",
        stereo ? "stereo" : "flat", ms[ms.size() / 2], ms[ms.size() * 99 / 100],
        calls[calls.size() / 2], calls.back(), max_stars);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(60, std::atoi(argv[1])) : 600;
    media::install_platform(std::make_unique<bench_platform>());
    media::set_game_dir(GF_BUILD_DIR);
    game_options options;
    options.register_files = register_game_assets;
    options.audio_device = false;
    start_up(options);
    for (int round = 0; round < 2; ++round) {
        run(false, frames);
        run(true, frames);
    }
    return 0;
}
