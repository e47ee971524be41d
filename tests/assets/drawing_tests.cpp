// The generator's drawing blocks: the mask rules every picture relies on,
// seamless bands, and the PNG writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "canvas.h"
#include "draw.h"
#include "lettering.h"
#include "noise.h"
#include "png_io.h"
#include "scenery.h"

using namespace ag;

TEST(Canvas, OpaqueArtNeverComesOutPureBlack) {
    // Black paint on an opaque pixel would turn into a hole in the game.
    canvas c(4, 1);
    c.put(0, 0, {0, 0, 0}, 1.0f);
    c.put(1, 0, {0.001f, 0, 0}, 1.0f);
    c.put(2, 0, {1, 1, 1}, 0.4f);  // under half coverage: transparent
    c.put(3, 0, {0.5f, 0.25f, 1}, 0.6f);
    image8 m = to_mask_rgb8(c);
    EXPECT_TRUE(m.opaque(0, 0));
    EXPECT_TRUE(m.opaque(1, 0));
    EXPECT_FALSE(m.opaque(2, 0));
    ASSERT_TRUE(m.opaque(3, 0));
    // Colour is un-premultiplied: partly covered edge pixels keep their hue.
    EXPECT_EQ(m.at(3, 0)[0], 128);
    EXPECT_EQ(m.at(3, 0)[2], 255);
    // Additive glows keep black as "no light" when asked to.
    EXPECT_FALSE(to_rgb8(canvas(1, 1), true).opaque(0, 0));
    EXPECT_TRUE(to_rgb8(canvas(1, 1), false).opaque(0, 0));
}

TEST(Canvas, DownsampleAveragesCoverageAndColour) {
    canvas hi(4, 2);
    for (int y = 0; y < 2; ++y) hi.put(0, y, {1, 0, 0}), hi.put(1, y, {1, 0, 0});
    canvas lo = downsample(hi, 2, 2);
    ASSERT_EQ(lo.w, 2);
    ASSERT_EQ(lo.h, 1);
    EXPECT_FLOAT_EQ(lo.alpha(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(lo.alpha(1, 0), 0.0f);
    canvas half = downsample(hi, 4, 2);
    EXPECT_FLOAT_EQ(half.alpha(0, 0), 0.5f);
    EXPECT_FLOAT_EQ(half.color(0, 0).r, 1.0f);
}

TEST(Canvas, OutlineRimsTheShapeOnly) {
    canvas c(5, 5);
    c.put(2, 2, {1, 1, 1});
    canvas o = outline(c, 0.25f, {0.05f, 0.05f, 0.1f}, false);
    EXPECT_GE(o.alpha(2, 1), 0.5f);
    EXPECT_GE(o.alpha(1, 2), 0.5f);
    EXPECT_LT(o.alpha(1, 1), 0.5f) << "no diagonal rim when not asked for";
    EXPECT_LT(o.alpha(0, 2), 0.5f) << "the rim is one pixel wide";
    EXPECT_NEAR(o.color(2, 1).r, 0.25f, 1e-5f);
    EXPECT_NEAR(o.color(2, 1).b, 0.25f, 1e-5f);
    canvas d = outline(c, 0.25f, {0.05f, 0.05f, 0.1f}, true);
    EXPECT_GE(d.alpha(1, 1), 0.5f);
    // The rim never goes darker than its floor colour.
    canvas dark(3, 1);
    dark.put(1, 0, {0, 0, 0});
    canvas od = outline(dark, 0.25f, {0.05f, 0.05f, 0.1f}, false);
    EXPECT_FLOAT_EQ(od.color(0, 0).b, 0.1f);
}

TEST(StereoTone, NoColourOverfillsAnEyePairAndOrderIsKept) {
    // The heaviest each pair makes of a channel, both copies twice: red 288, green 208,
    // blue 320 of 255.
    auto load = [](rgb c) { return std::max({c.r * 288, c.g * 208, c.b * 320}) / 255; };
    for (rgb c : {rgb{1, 1, 1}, hex(0xf4f8ff), hex(0x8fa5cf), hex(0xffcf6b), rgb{0, 0, 1}}) {
        for (float exposure : {1.0f, 0.76f}) {
            rgb t = stereo_tone(c, exposure, 0.9f);
            EXPECT_LE(load(t), 0.9f + 1e-4f) << "exposure " << exposure;
            EXPECT_GE(std::min({t.r, t.g, t.b}), 0.0f);
        }
    }
    // Brighter snow stays brighter, so lit and shaded faces still read apart.
    EXPECT_GT(stereo_tone(hex(0xe6eeff), 0.76f, 0.96f).b,
              stereo_tone(hex(0x8098c6), 0.76f, 0.96f).b);
}

TEST(Canvas, WrappedBandsCarryShapesAcrossTheSeam) {
    canvas band(20, 4);
    band.wrap_x = true;
    pen p{band, 1.0f};
    p.rect(17, 0, 23, 4, rgb{1, 1, 1});  // runs 3 pixels past the right edge
    for (int x : {17, 18, 19, 0, 1, 2}) EXPECT_GE(band.alpha(x, 1), 0.5f) << "column " << x;
    EXPECT_LT(band.alpha(3, 1), 0.5f);
    EXPECT_LT(band.alpha(16, 1), 0.5f);
}

TEST(Noise, RepeatsWithItsPeriodAndIsTheSameEachRun) {
    for (float x : {0.0f, 3.3f, 17.75f}) {
        EXPECT_NEAR(value_noise(x, 1.5f, 7, 32), value_noise(x + 32, 1.5f, 7, 32), 1e-4f);
        EXPECT_NEAR(fbm(x, 0.5f, 3, 4, 16), fbm(x + 16, 0.5f, 3, 4, 16), 1e-4f);
    }
    float v = value_noise(4.25f, 2.5f, 11);
    EXPECT_GE(v, 0.0f);
    EXPECT_LT(v, 1.0f);
    rng a(5), b(5), c(6);
    EXPECT_EQ(a.next(), b.next());
    EXPECT_NE(a.next(), c.next());
}

TEST(Shapes, PolygonAndSplineFollowTheirPoints) {
    std::vector<pt> tri{{0, 0}, {10, 0}, {0, 10}};
    EXPECT_TRUE(inside_polygon(tri, 2, 2));
    EXPECT_FALSE(inside_polygon(tri, 8, 8));
    std::vector<pt> path{{0, 0}, {10, 5}, {20, 0}};
    std::vector<pt> s = spline(path, 4, false);
    ASSERT_FALSE(s.empty());
    EXPECT_FLOAT_EQ(s.front().x, 0);
    EXPECT_FLOAT_EQ(s.back().x, 20);
    bool passes_middle = false;
    for (const pt& q : s) passes_middle |= q.x == 10 && q.y == 5;
    EXPECT_TRUE(passes_middle) << "the curve goes through its control points";
}

TEST(PngFiles, WriteAndReadBackExactly) {
    image8 img(3, 2);
    for (size_t i = 0; i < img.px.size(); ++i) img.px[i] = uint8_t(i * 37);
    std::string path = (std::filesystem::temp_directory_path() / "assetgen_roundtrip.png").string();
    ASSERT_TRUE(write_png(path, img));
    image8 back;
    ASSERT_TRUE(read_png(path, back));
    EXPECT_EQ(back.w, 3);
    EXPECT_EQ(back.h, 2);
    EXPECT_EQ(back.px, img.px);
    std::filesystem::remove(path);
    EXPECT_FALSE(write_png("/nonexistent-folder/x.png", img));
    EXPECT_FALSE(read_png("/nonexistent-folder/x.png", back));
}

TEST(Lettering, MissingFontGivesAnEmptyFieldNotACrash) {
    coverage cv;
    EXPECT_FALSE(set_text("/nonexistent.ttf", "Hi", 20, 30, 20, 0, 15, cv));
    EXPECT_EQ(cv.w, 30);
    EXPECT_EQ(text_width("/nonexistent.ttf", "Hi", 20), 0.0f);
}

TEST(Lettering, TextLandsWhereItIsSet) {
    coverage cv;
    ASSERT_TRUE(set_text(GF_FONT_FILE, "Hi", 40, 120, 60, 10, 45, cv));
    float adv = text_width(GF_FONT_FILE, "Hi", 40);
    EXPECT_GT(adv, 20.0f);
    int first = cv.w, last = -1, top = cv.h;
    for (int y = 0; y < cv.h; ++y) {
        for (int x = 0; x < cv.w; ++x) {
            if (cv.at(x, y) < 0.5f) continue;
            first = std::min(first, x), last = std::max(last, x), top = std::min(top, y);
        }
    }
    EXPECT_GE(first, 8);
    EXPECT_LE(last, int(10 + adv + 4));
    EXPECT_LT(top, 45) << "glyphs stand on the baseline";
    std::vector<float> d = distance_to(cv, 3);
    EXPECT_FLOAT_EQ(d[0], 3.0f) << "capped far from the text";
}
