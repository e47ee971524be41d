// The landscape as the game composes it: flat, and as the additive stereo pair in
// each of the four colour schemes, where the sky, the mountains and the ground add up.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "asset_files.h"

using namespace gf_test;

namespace {

constexpr int W = 640, H = 480;

struct eye_pair {
    const char* name;
    int left[3], right[3];
};
// The game's four schemes: the copy drawn at x - offs, then the one at x + offs.
const eye_pair pairs[] = {
    {"M\\G", {140, 4, 40}, {4, 100, 20}},
    {"R\\G", {4, 100, 20}, {140, 4, 10}},
    {"R\\C", {4, 80, 60}, {140, 4, 10}},
    {"R\\B", {4, 20, 140}, {140, 4, 20}},
};

struct landscape {
    picture sky, mts[2], grd[2];
};

const landscape& pictures() {
    static const landscape l = [] {
        landscape p;
        EXPECT_TRUE(load_picture(asset_path("background.png"), p.sky));
        EXPECT_TRUE(load_picture(asset_path("mountains1.png"), p.mts[0]));
        EXPECT_TRUE(load_picture(asset_path("mountains2.png"), p.mts[1]));
        EXPECT_TRUE(load_picture(asset_path("ground1.png"), p.grd[0]));
        EXPECT_TRUE(load_picture(asset_path("ground2.png"), p.grd[1]));
        return p;
    }();
    return l;
}

// A frame being composed, one int per channel so sums can be clamped at the end.
struct frame {
    std::vector<int> px = std::vector<int>(W * H * 3, 0);
    int* at(int x, int y) { return &px[(size_t(y) * W + size_t(x)) * 3]; }
};

// Draws a band picture with its top-left at (x, y), stretched `sy` times downwards with
// nearest sampling. Flat (tint null) it covers what is below; tinted it adds.
void draw(frame& f, const picture& p, int x, int y, float sy, const int* tint) {
    for (int v = y; v < H; ++v) {
        const int row = int(std::floor((float(v - y) + 0.5f) / sy));
        if (v < 0 || row < 0 || row >= p.h) continue;
        for (int u = std::max(0, x); u < std::min(W, x + p.w); ++u) {
            const uint8_t* s = p.at(u - x, row);
            if (!p.opaque(u - x, row)) continue;
            int* d = f.at(u, v);
            for (int c = 0; c < 3; ++c) d[c] = tint ? d[c] + s[c] * tint[c] / 255 : s[c];
        }
    }
}

// The backdrop and the scenery of one frame with the bands scrolled `mts_x` and `grd_x`
// pixels to the left: flat when `pair` is null, else both copies, two passes.
frame compose(const eye_pair* pair, int mts_x, int grd_x) {
    const landscape& l = pictures();
    frame f;
    struct layer {
        const picture& p;
        int x, y;
        float sy;
        int offs;
    };
    std::vector<layer> layers = {{l.sky, 0, 0, 1.0f, -8}};
    for (int half = 0; half < 2; ++half) {
        layers.push_back({l.mts[half], 640 * half - mts_x, 100, 1.5f, -4});
        layers.push_back({l.mts[half], 640 * half - mts_x + 1280, 100, 1.5f, -4});
    }
    for (int half = 0; half < 2; ++half) {
        layers.push_back({l.grd[half], 640 * half - grd_x, 280, 1.0f, 2});
        layers.push_back({l.grd[half], 640 * half - grd_x + 1280, 280, 1.0f, 2});
    }
    if (!pair) {
        // The sky at 60 % over black, the bands over it.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c) f.at(x, y)[c] = l.sky.at(x, y)[c] * 6 / 10;
        for (size_t i = 1; i < layers.size(); ++i)
            draw(f, layers[i].p, layers[i].x, layers[i].y, layers[i].sy, nullptr);
    } else {
        for (const layer& k : layers)
            for (int pass = 0; pass < 2; ++pass) {
                draw(f, k.p, k.x - k.offs, k.y, k.sy, pair->left);
                draw(f, k.p, k.x + k.offs, k.y, k.sy, pair->right);
            }
    }
    for (int& v : f.px) v = std::min(v, 255);
    return f;
}

// Share of the ground rows (300 to 479) with a channel at 250 or more.
double washed_out(frame& f) {
    int n = 0;
    for (int y = 300; y < H; ++y)
        for (int x = 0; x < W; ++x) n += *std::max_element(f.at(x, y), f.at(x, y) + 3) >= 250;
    return double(n) / double((H - 300) * W);
}

double row_brightness(frame& f, int y) {
    double sum = 0;
    for (int x = 0; x < W; ++x) sum += (f.at(x, y)[0] + f.at(x, y)[1] + f.at(x, y)[2]) / 3.0;
    return sum / W;
}

// The largest change in mean brightness from one row to the next below the sky's top.
double worst_row_step(frame& f, int* where) {
    double worst = 0;
    for (int y = 101; y < H; ++y) {
        double step = std::fabs(row_brightness(f, y) - row_brightness(f, y - 1));
        if (step > worst) worst = step, *where = y;
    }
    return worst;
}

// Scroll positions: the mountain band moves half as fast as the ground.
const std::array<std::array<int, 2>, 4> scrolls = {{{0, 0}, {160, 320}, {390, 780}, {600, 1200}}};

}  // namespace

TEST(Stereo, GroundReadsInEveryColourPairAndTheLayersJoinWithoutAnEdge) {
    for (const eye_pair& pair : pairs) {
        for (auto [mx, gx] : scrolls) {
            frame f = compose(&pair, mx, gx);
            const std::string at = std::string(pair.name) + " at scroll " + std::to_string(gx);
            EXPECT_LE(washed_out(f), 0.15) << at << ": the snow washes out";
            int row = 0;
            EXPECT_LE(worst_row_step(f, &row), 20.0) << at << ": a hard edge at row " << row;
        }
    }
}

TEST(Stereo, FlatFrameKeepsBrightSnowUnderADarkSky) {
    for (auto [mx, gx] : scrolls) {
        frame f = compose(nullptr, mx, gx);
        double snow = 0, sky = 0;
        for (int y = 420; y < H; ++y) snow += row_brightness(f, y) / (H - 420);
        for (int y = 0; y < 100; ++y) sky += row_brightness(f, y) / 100;
        EXPECT_GT(snow, 120.0) << "scroll " << gx << ": the snow is too dim";
        EXPECT_GT(snow, 3 * sky) << "scroll " << gx << ": the snow does not stand out";
        EXPECT_LT(washed_out(f), 0.05) << "scroll " << gx;
        int row = 0;
        EXPECT_LE(worst_row_step(f, &row), 20.0) << "scroll " << gx << ", row " << row;
    }
}
