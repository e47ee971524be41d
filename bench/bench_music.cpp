// bench_music [rounds]: what a screen change costs the frame it happens in. Times
// start_music for each of the game's three tracks (the old track stopped first, as the
// screens do), on a device (OpenAL Soft's null output) and on the silent fallback; then
// draws the heaviest frame of round play headless with a screen change every 30 frames and
// prints the frame times around them. Run with the game's Data folder built.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench_platform.h"
#include "bench_scene.h"
#include "media/assets.h"
#include "media/backend/gl/gl_renderer.h"
#include "media/display.h"
#include "media/files.h"
#include "media/platform.h"
#include "media/sound.h"

namespace {

using bench_clock = std::chrono::steady_clock;

double ms_since(bench_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(bench_clock::now() - t0).count();
}

double at_fraction(std::vector<double> v, double f) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(f * static_cast<double>(v.size())))];
}

// A screen change: the old track stopped, the next one started.
void change_screen(int track) {
    media::stop_channel(music_chn);
    start_music(track);
}

void time_start_music(const char* mode, int rounds) {
    for (int track = 1; track <= 3; ++track) {
        std::vector<double> ms;
        for (int i = 0; i < rounds; ++i) {
            const auto t0 = bench_clock::now();
            change_screen(track);
            ms.push_back(ms_since(t0));
            if (media::channel_playing(music_chn) == 0) {
                std::fprintf(stderr, "bench_music: track %d did not start\n", track);
                std::exit(1);
            }
            // Lets the music play a little, as a screen does before the next change.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::printf(
            "bench_music start_music %s track %d: median %.2f ms worst %.2f ms (%d starts)\n", mode,
            track, at_fraction(ms, 0.5), at_fraction(ms, 1.0), rounds);
    }
    media::stop_channel(music_chn);
}

void time_frames(int changes) {
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const bench::scene_images im = bench::make_images(font, true);
    constexpr int per_change = 30;
    std::vector<double> all, at_change, in_change;
    for (int f = 0; f < (changes + 1) * per_change; ++f) {
        const auto t0 = bench_clock::now();
        bench::draw_game_frame(im, false, f);
        const bool change = f >= per_change && f % per_change == per_change / 2;
        if (change) {
            const auto tc = bench_clock::now();
            change_screen(f / per_change % 3 + 1);
            in_change.push_back(ms_since(tc));
        }
        media::flip(0);
        media::backend::finish();
        const double ms = ms_since(t0);
        if (f < per_change) continue;  // warm-up
        all.push_back(ms);
        if (change) at_change.push_back(ms);
    }
    media::stop_channel(music_chn);
    std::printf(
        "bench_music frames across %d screen changes: median %.2f ms p99 %.2f ms worst %.2f ms; "
        "the change frames median %.2f ms worst %.2f ms, start_music in them median %.2f ms "
        "worst %.2f ms\n",
        changes, at_fraction(all, 0.5), at_fraction(all, 0.99), at_fraction(all, 1.0),
        at_fraction(at_change, 0.5), at_fraction(at_change, 1.0), at_fraction(in_change, 0.5),
        at_fraction(in_change, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 20;
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    media::install_platform(std::make_unique<bench::real_clock_platform>());
    media::set_game_dir(GF_BUILD_DIR);
    if (media::file_type("Data\\play.ogg") != 1) {
        std::fprintf(stderr, "bench_music: no Data folder in %s (build game_assets)\n",
                     GF_BUILD_DIR);
        return 1;
    }
    music_chn = media::alloc_channel();

    media::open_audio(true);
    if (media::audio_is_silent()) {
        std::fprintf(stderr, "bench_music: no OpenAL device (ALSOFT_DRIVERS=null?)\n");
        return 1;
    }
    time_start_music("device", rounds);
    media::open_graphics(640, 480, 32, 60, 2);
    time_frames(rounds);
    media::close_graphics();
    media::close_audio();

    media::open_audio(false);
    time_start_music("silent", rounds);
    media::close_audio();
    music_chn.reset();
    return 0;
}
