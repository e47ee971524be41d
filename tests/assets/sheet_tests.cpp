// The sprite sheet: every frame in its rectangle, nothing outside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "asset_files.h"

using namespace gf_test;

namespace {

struct frame_rect {
    const char* what;
    int index, x, y, w, h;
};

// The rectangles the game cuts its four sprite images from.
std::vector<frame_rect> layout() {
    std::vector<frame_rect> r{{"flake", 0, 408, 1, 10, 10}};
    for (int i = 0; i < 5; ++i) r.push_back({"player", i, 1, 1 + 83 * i, 404, 82});
    for (int i = 0; i < 8; ++i) r.push_back({"stuff", i, 421 + 19 * i, 1, 18, 20});
    for (int i = 0; i < 3; ++i) r.push_back({"star", i, 408, 24 + 113 * i, 112, 112});
    return r;
}

picture sheet() {
    picture p;
    EXPECT_TRUE(load_picture(asset_path("sprites.png"), p));
    return p;
}

int opaque_in(const picture& p, const frame_rect& r) {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) n += p.opaque(x, y);
    return n;
}

bool same_pixels(const picture& p, const frame_rect& a, const frame_rect& b) {
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x)
            for (int c = 0; c < 3; ++c)
                if (p.at(a.x + x, a.y + y)[c] != p.at(b.x + x, b.y + y)[c]) return false;
    return true;
}

}  // namespace

TEST(SpriteSheet, PureBlackOutsideTheFrames) {
    picture p = sheet();
    ASSERT_EQ(p.w, 575);
    ASSERT_EQ(p.h, 416);
    std::vector<bool> inside(size_t(p.w * p.h), false);
    for (const frame_rect& r : layout())
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) inside[size_t(y * p.w + x)] = true;
    int stray = 0, first_x = -1, first_y = -1;
    for (int y = 0; y < p.h; ++y) {
        for (int x = 0; x < p.w; ++x) {
            if (inside[size_t(y * p.w + x)] || !p.opaque(x, y)) continue;
            if (stray++ == 0) first_x = x, first_y = y;
        }
    }
    EXPECT_EQ(stray, 0) << "first stray pixel at (" << first_x << ", " << first_y << ")";
}

TEST(SpriteSheet, EveryFrameHasArt) {
    picture p = sheet();
    for (const frame_rect& r : layout()) {
        int n = opaque_in(p, r);
        // Each sprite should fill a fair part of its frame, not be a few stray pixels.
        EXPECT_GT(n, r.w * r.h / 8) << r.what << " frame " << r.index << ": " << n << " pixels";
    }
}

TEST(SpriteSheet, AnimationFramesDiffer) {
    picture p = sheet();
    std::vector<frame_rect> r = layout();
    auto f = [&](const char* what, int i) {
        for (const frame_rect& x : r)
            if (std::string(x.what) == what && x.index == i) return x;
        return r[0];
    };
    // Flight, boost, the warper's swirl and the bomb's fuse all animate.
    EXPECT_FALSE(same_pixels(p, f("player", 0), f("player", 1)));
    EXPECT_FALSE(same_pixels(p, f("player", 3), f("player", 4)));
    for (int a = 1; a <= 3; ++a)
        for (int b = a + 1; b <= 3; ++b) EXPECT_FALSE(same_pixels(p, f("stuff", a), f("stuff", b)));
    for (int a = 4; a <= 7; ++a)
        for (int b = a + 1; b <= 7; ++b) EXPECT_FALSE(same_pixels(p, f("stuff", a), f("stuff", b)));
}

TEST(SpriteSheet, GlowsFadeToBlackBeforeTheirEdges) {
    // Glows are added onto the screen: any light on the frame border would
    // show as the edge of a square.
    picture p = sheet();
    for (const frame_rect& r : layout()) {
        if (std::string(r.what) != "star") continue;
        int lit_border = 0;
        for (int i = 0; i < r.w; ++i) {
            lit_border += p.opaque(r.x + i, r.y) + p.opaque(r.x + i, r.y + r.h - 1);
            lit_border += p.opaque(r.x, r.y + i) + p.opaque(r.x + r.w - 1, r.y + i);
        }
        EXPECT_EQ(lit_border, 0) << "glow " << r.index;
        const uint8_t* mid = p.at(r.x + r.w / 2, r.y + r.h / 2);
        EXPECT_GT(mid[0] + mid[1] + mid[2], 60) << "glow " << r.index << " is too dark";
    }
}

TEST(SpriteSheet, GiftKindsDifferInBrightness) {
    // In stereo each eye sees one colour channel, so presents, warpers and
    // bombs must differ in brightness, not in hue alone.
    picture p = sheet();
    auto mean_luma = [&](int frame) {
        double sum = 0;
        int n = 0;
        for (int y = 1; y < 21; ++y) {
            for (int x = 0; x < 18; ++x) {
                const uint8_t* c = p.at(421 + 19 * frame + x, y);
                if (!p.opaque(421 + 19 * frame + x, y)) continue;
                sum += 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
                ++n;
            }
        }
        return n ? sum / n : 0.0;
    };
    double present = mean_luma(0), warper = mean_luma(1), bomb = mean_luma(4);
    EXPECT_GT(present - bomb, 25) << "present " << present << ", bomb " << bomb;
    EXPECT_GT(warper - bomb, 25) << "warper " << warper << ", bomb " << bomb;
}

TEST(SpriteSheet, SpritesAreNotCutOffByTheirFrameEdges) {
    // A sprite may reach its frame's edge with its dark rim, but bright art
    // on the edge means the shape runs on past it and is cut off in the game.
    picture p = sheet();
    auto bright = [&](int x, int y) {
        const uint8_t* c = p.at(x, y);
        return std::max({c[0], c[1], c[2]}) > 80;
    };
    for (const frame_rect& r : layout()) {
        if (std::string(r.what) == "star") continue;  // glows fade out on their own
        int cut = 0, first_x = -1, first_y = -1;
        auto check = [&](int x, int y) {
            if (!bright(x, y)) return;
            if (cut++ == 0) first_x = x - r.x, first_y = y - r.y;
        };
        for (int x = r.x; x < r.x + r.w; ++x) check(x, r.y), check(x, r.y + r.h - 1);
        for (int y = r.y + 1; y < r.y + r.h - 1; ++y) check(r.x, y), check(r.x + r.w - 1, y);
        EXPECT_EQ(cut, 0) << r.what << " frame " << r.index << " is cut at (" << first_x << ", "
                          << first_y << ")";
    }
}

TEST(SpriteSheet, FlightFramesKeepTheSameHitArea) {
    // Gifts test contact against flight frames 0 and 1 in turn: their solid
    // shapes must match closely, or catching a gift would depend on the wing beat.
    picture p = sheet();
    std::vector<frame_rect> r = layout();
    const frame_rect &f0 = r[1], &f1 = r[2];
    int only0 = 0, only1 = 0, both = 0;
    for (int y = 0; y < f0.h; ++y) {
        for (int x = 0; x < f0.w; ++x) {
            bool a = p.opaque(f0.x + x, f0.y + y), b = p.opaque(f1.x + x, f1.y + y);
            both += a && b, only0 += a && !b, only1 += b && !a;
        }
    }
    EXPECT_GT(both, 0);
    EXPECT_LT(double(only0 + only1) / double(both), 0.2)
        << "frames 0 and 1 share " << both << " pixels, differ in " << only0 + only1;
}

TEST(SpriteSheet, GlowsCarryTheirGiftsColours) {
    // Frame 0 glows gold for presents, 1 cyan for warpers, 2 red for bombs.
    picture p = sheet();
    double sum[3][3] = {};
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < 112; ++y)
            for (int x = 0; x < 112; ++x)
                for (int c = 0; c < 3; ++c) sum[i][c] += p.at(408 + x, 24 + 113 * i + y)[c];
    }
    EXPECT_GT(sum[0][0], sum[0][2] * 1.5) << "present glow should be gold";
    EXPECT_GT(sum[0][1], sum[0][2] * 1.2) << "present glow should be gold";
    EXPECT_GT(sum[1][2], sum[1][0] * 1.5) << "warper glow should be cyan";
    EXPECT_GT(sum[1][1], sum[1][0] * 1.5) << "warper glow should be cyan";
    EXPECT_GT(sum[2][0], sum[2][1] * 1.5) << "bomb glow should be red";
    EXPECT_GT(sum[2][0], sum[2][2] * 1.5) << "bomb glow should be red";
}
