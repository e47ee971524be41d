// bench_draw [frames]: times the media layer's draw path on the game's heaviest frame,
// flat and stereo, headless. Each frame is timed from its first draw until the GPU has
// finished presenting it. Prints ms per frame (median, 99th percentile) and draw calls,
// then what stereo costs against flat for each scene.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench_platform.h"
#include "bench_scene.h"
#include "media/backend/gl_renderer.h"
#include "media/display.h"
#include "media/platform.h"

namespace {

using frame_fn = int (*)(const bench::scene_images&, bool, int);

// Returns the median ms.
double run(const char* label, frame_fn draw, const bench::scene_images& im, bool stereo,
           int frames) {
    std::vector<double> ms, cpu;
    int calls = 0, draws = 0;
    for (int f = 0; f < frames + 30; ++f) {
        const auto t0 = std::chrono::steady_clock::now();
        draws = draw(im, stereo, f);
        const auto tc = std::chrono::steady_clock::now();
        media::flip(0);
        media::backend::finish();
        const auto t1 = std::chrono::steady_clock::now();
        calls = media::draw_calls_last_frame();
        if (f >= 30) {
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            cpu.push_back(std::chrono::duration<double, std::milli>(tc - t0).count());
        }
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf(
        "bench_draw %s %s: median %.2f ms p99 %.2f ms, %d draw calls, %d draws (building "
        "them %.2f ms)\n",
        label, stereo ? "stereo" : "flat", ms[ms.size() / 2], ms[ms.size() * 99 / 100], calls,
        draws, cpu[cpu.size() / 2]);
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    media::install_platform(std::make_unique<bench::real_clock_platform>());
    media::open_graphics(640, 480, 32, 60, 2);  // full screen, as the game opens it
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const bench::scene_images game = bench::make_images(font, true);
    const bench::scene_images yard = bench::make_images(font, false);
    if (!game.font) std::fprintf(stderr, "bench_draw: no font, the text lines are left out\n");
    run(
        "empty", [](const bench::scene_images&, bool, int) { return 0; }, game, false, frames);
    double game_ms[2], yard_ms[2];
    for (bool stereo : {false, true}) {
        game_ms[stereo] = run("game", bench::draw_game_frame, game, stereo, frames);
        yard_ms[stereo] = run("yardstick-scene", bench::draw_yardstick_frame, yard, stereo, frames);
    }
    std::printf("bench_draw game stereo/flat: %.2f\n", game_ms[1] / game_ms[0]);
    std::printf("bench_draw yardstick-scene stereo/flat: %.2f\n", yard_ms[1] / yard_ms[0]);
    media::close_graphics();
    return 0;
}
