// bench_draw [frames]: times the media layer's draw path on the game's heaviest frame,
// flat and stereo, headless. Each frame is timed from its first draw until the GPU has
// finished presenting it. Prints ms per frame (median, 99th percentile) and draw calls,
// then what stereo costs against flat for each scene. Flat and stereo frames alternate.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_platform.h"
#include "bench_scene.h"
#include "media/backend/gl/gl_renderer.h"
#include "media/display.h"
#include "media/platform.h"

namespace {

using frame_fn = int (*)(const bench::scene_images&, bool, int);

struct timing {
    std::vector<double> ms, cpu;
    int calls = 0, draws = 0;
};

constexpr int warm_up = 30;  // frames timed but not kept

// Times frame f: building its draws, then until the GPU has presented it.
void time_frame(timing& t, frame_fn draw, const bench::scene_images& im, bool stereo, int f) {
    const auto t0 = std::chrono::steady_clock::now();
    t.draws = draw(im, stereo, f);
    const auto tc = std::chrono::steady_clock::now();
    media::flip(0);
    media::backend::finish();
    const auto t1 = std::chrono::steady_clock::now();
    t.calls = media::draw_calls_last_frame();
    if (f < warm_up) return;
    t.ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    t.cpu.push_back(std::chrono::duration<double, std::milli>(tc - t0).count());
}

// Prints one line and returns the median ms.
double report(const char* label, bool stereo, timing& t) {
    std::sort(t.ms.begin(), t.ms.end());
    std::sort(t.cpu.begin(), t.cpu.end());
    std::printf(
        "bench_draw %s %s: median %.2f ms p99 %.2f ms, %d draw calls, %d draws (building "
        "them %.2f ms)\n",
        label, stereo ? "stereo" : "flat", t.ms[t.ms.size() / 2], t.ms[t.ms.size() * 99 / 100],
        t.calls, t.draws, t.cpu[t.cpu.size() / 2]);
    return t.ms[t.ms.size() / 2];
}

// Flat and stereo frames take turns, so a noisy neighbour on a shared machine slows both
// alike and their ratio holds steady. Returns the flat and stereo medians.
std::array<double, 2> run_both(const char* label, frame_fn draw, const bench::scene_images& im,
                               int frames) {
    timing t[2];
    for (int f = 0; f < warm_up + frames; ++f)
        for (bool stereo : {false, true}) time_frame(t[stereo], draw, im, stereo, f);
    return {report(label, false, t[0]), report(label, true, t[1])};
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
    timing empty;
    for (int f = 0; f < warm_up + frames; ++f)
        time_frame(
            empty, [](const bench::scene_images&, bool, int) { return 0; }, game, false, f);
    report("empty", false, empty);
    const auto game_ms = run_both("game", bench::draw_game_frame, game, frames);
    const auto yard_ms = run_both("yardstick-scene", bench::draw_yardstick_frame, yard, frames);
    std::printf("bench_draw game stereo/flat: %.2f\n", game_ms[1] / game_ms[0]);
    std::printf("bench_draw yardstick-scene stereo/flat: %.2f\n", yard_ms[1] / yard_ms[0]);
    media::close_graphics();
    return 0;
}
