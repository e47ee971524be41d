// The pictures: their sizes and format, the sky, the pointer, and the
// landscape bands that must repeat without a seam.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "asset_files.h"

using namespace gf_test;

namespace {

struct expected_size {
    const char* name;
    uint32_t w, h;
};
const expected_size sizes[] = {
    {"qblogo.png", 420, 236},     {"pointer.png", 18, 18},      {"background.png", 640, 480},
    {"mountains1.png", 640, 256}, {"mountains2.png", 640, 256}, {"ground1.png", 640, 200},
    {"ground2.png", 640, 200},    {"sprites.png", 575, 416},    {"title.png", 486, 139},
};

picture load(const char* name) {
    picture p;
    EXPECT_TRUE(load_picture(asset_path(name), p)) << "cannot read " << name;
    return p;
}

// Sum over the rows of the colour difference between column xa of a and xb of b.
long column_gap(const picture& a, int xa, const picture& b, int xb) {
    long sum = 0;
    for (int y = 0; y < a.h; ++y)
        for (int c = 0; c < 3; ++c) sum += std::labs(long(a.at(xa, y)[c]) - long(b.at(xb, y)[c]));
    return sum;
}

// The first opaque row of a column: where the ridge or the tree tops are.
int skyline(const picture& p, int x) {
    for (int y = 0; y < p.h; ++y)
        if (p.opaque(x, y)) return y;
    return p.h;
}

// A join is seamless when stepping across it changes no more than a step
// between neighbouring columns inside the pictures usually does.
void expect_joins(const char* first, const char* second) {
    picture a = load(first), b = load(second);
    ASSERT_EQ(a.h, b.h);
    double inside = 0;
    for (int x = 0; x + 1 < a.w; ++x) inside += double(column_gap(a, x, a, x + 1));
    inside /= double(a.w - 1);
    long ab = column_gap(a, a.w - 1, b, 0), ba = column_gap(b, b.w - 1, a, 0);
    EXPECT_LE(double(ab), inside * 3 + 200) << first << " then " << second << ": the join shows";
    EXPECT_LE(double(ba), inside * 3 + 200) << second << " then " << first << ": the join shows";
    EXPECT_LE(std::abs(skyline(a, a.w - 1) - skyline(b, 0)), 3) << first << " | " << second;
    EXPECT_LE(std::abs(skyline(b, b.w - 1) - skyline(a, 0)), 3) << second << " | " << first;
}

}  // namespace

TEST(Pictures, EachIsEightBitRgbOfItsSizeWithoutAlpha) {
    for (const expected_size& s : sizes) {
        png_header h = read_png_header(asset_path(s.name));
        ASSERT_TRUE(h.ok) << s.name << " is missing or not a PNG";
        EXPECT_EQ(h.width, s.w) << s.name;
        EXPECT_EQ(h.height, s.h) << s.name;
        EXPECT_EQ(h.bit_depth, 8) << s.name;
        EXPECT_EQ(h.color_type, PNG_COLOR_TYPE_RGB) << s.name << ": expected RGB without alpha";
        EXPECT_FALSE(h.has_trns) << s.name << ": transparency must come from black only";
    }
}

TEST(Pictures, DesktopIconsAreRoundedTilesOfTheirSizes) {
    // Desktops draw the icon on any colour: the tile's corners must be see-through,
    // and the tile itself solid.
    for (uint32_t size : {64u, 128u, 256u}) {
        const std::string name = "icon-" + std::to_string(size) + ".png";
        png_header h = read_png_header(asset_path(name));
        ASSERT_TRUE(h.ok) << name << " is missing or not a PNG";
        EXPECT_EQ(h.width, size) << name;
        EXPECT_EQ(h.height, size) << name;
        EXPECT_EQ(h.bit_depth, 8) << name;
        EXPECT_EQ(h.color_type, PNG_COLOR_TYPE_RGB_ALPHA) << name << ": expected RGBA";

        png_image img{};
        img.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&img, asset_path(name).c_str())) << name;
        img.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> px(PNG_IMAGE_SIZE(img));
        ASSERT_TRUE(png_image_finish_read(&img, nullptr, px.data(), 0, nullptr)) << name;
        auto alpha = [&](uint32_t x, uint32_t y) { return px[(y * size + x) * 4 + 3]; };
        const uint32_t last = size - 1, mid = size / 2;
        for (auto [x, y] : {std::pair{0u, 0u}, {last, 0u}, {0u, last}, {last, last}})
            EXPECT_EQ(alpha(x, y), 0) << name << ": corner (" << x << ", " << y << ")";
        for (auto [x, y] : {std::pair{mid, mid}, {mid, size / 16}, {size / 16, mid}})
            EXPECT_EQ(alpha(x, y), 255) << name << ": tile at (" << x << ", " << y << ")";
    }
}

TEST(Pictures, BackgroundHasNoHoles) {
    // The sky is drawn over black: a pure black pixel would be a hole in it.
    picture p = load("background.png");
    int holes = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) holes += !p.opaque(x, y);
    EXPECT_EQ(holes, 0);
}

TEST(Pictures, PointerTipIsItsTopLeftPixel) {
    picture p = load("pointer.png");
    EXPECT_TRUE(p.opaque(0, 0)) << "the hot spot is the top-left corner";
    EXPECT_FALSE(p.opaque(p.w - 1, 0)) << "the arrow should not fill its square";
    EXPECT_FALSE(p.opaque(p.w - 1, p.h - 1));
}

TEST(Pictures, TitleAndLogoStandOnTransparentCorners) {
    for (const char* name : {"title.png", "qblogo.png"}) {
        picture p = load(name);
        int opaque = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) opaque += p.opaque(x, y);
        EXPECT_FALSE(p.opaque(0, 0)) << name;
        EXPECT_FALSE(p.opaque(p.w - 1, p.h - 1)) << name;
        EXPECT_GT(opaque, p.w * p.h / 10) << name << " is nearly empty";
    }
}

TEST(Pictures, TitleAndLogoAreCentredOnTheirHandles) {
    // The game draws both by their centres, so their art must sit centred.
    for (const char* name : {"title.png", "qblogo.png"}) {
        picture p = load(name);
        int left = p.w, right = -1;
        for (int y = 0; y < p.h; ++y) {
            for (int x = 0; x < p.w; ++x) {
                if (!p.opaque(x, y)) continue;
                left = std::min(left, x), right = std::max(right, x);
            }
        }
        ASSERT_GE(right, 0) << name;
        EXPECT_LE(std::abs(left - (p.w - 1 - right)), 12)
            << name << ": " << left << " px free on the left, " << p.w - 1 - right
            << " on the right";
    }
}

TEST(Landscape, MountainHalvesJoinInBothOrders) {
    expect_joins("mountains1.png", "mountains2.png");
}

TEST(Landscape, GroundHalvesJoinInBothOrders) {
    expect_joins("ground1.png", "ground2.png");
}

TEST(Landscape, GroundCoversTheFootOfTheMountainsAtAnyScroll) {
    // On screen the mountains hang from y 100, stretched 1.5 times, and the
    // ground from y 280. The bands scroll at different speeds, so any mountain
    // column can stand behind any ground column: the ground's solid part must
    // start above the point where any mountain column stops being solid.
    double mountains_end = 1e9;
    for (const char* name : {"mountains1.png", "mountains2.png"}) {
        picture p = load(name);
        for (int x = 0; x < p.w; ++x) {
            ASSERT_FALSE(p.opaque(x, 0)) << name << ": sky hidden at column " << x;
            int y = skyline(p, x);
            ASSERT_LT(y, p.h / 2) << name << ": no mountain at column " << x;
            while (y < p.h && p.opaque(x, y)) ++y;
            mountains_end = std::min(mountains_end, 100 + 1.5 * y);
        }
    }
    int ground_solid = 0;
    for (const char* name : {"ground1.png", "ground2.png"}) {
        picture p = load(name);
        for (int x = 0; x < p.w; ++x) {
            int y = p.h;
            while (y > 0 && p.opaque(x, y - 1)) --y;
            ground_solid = std::max(ground_solid, 280 + y);
        }
    }
    EXPECT_LE(ground_solid, mountains_end) << "the sky shows through between the bands";
}

TEST(Landscape, GroundBottomRowsAreFullyOpaque) {
    for (const char* name : {"ground1.png", "ground2.png"}) {
        picture p = load(name);
        for (int y = p.h - 40; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                ASSERT_TRUE(p.opaque(x, y)) << name << ": hole at (" << x << ", " << y << ")";
        for (int x = 0; x < p.w; ++x) ASSERT_FALSE(p.opaque(x, 0)) << name << ": column " << x;
    }
}
