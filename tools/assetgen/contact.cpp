// assetgen-contact: one PNG that shows every picture and sprite frame of the
// game, flat and as each of the four stereo colour pairs tints it, plus two
// mock-up screens composed the way the game composes them.
//   assetgen-contact ASSET_DIR OUT.png [--variant N [--crop X Y W H [ZOOM]]]
// N is 0 for flat, 1 to 4 for the colour pairs; a crop helps to look closely.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "canvas.h"
#include "png_io.h"

namespace {

using ag::image8;
using ag::rgb;

struct rect {
    int x, y, w, h;
};

// The sheet layout the game cuts its sprite images by.
rect flake_rect() {
    return {408, 1, 10, 10};
}
rect player_rect(int i) {
    return {1, 1 + 83 * i, 404, 82};
}
rect stuff_rect(int i) {
    return {421 + 19 * i, 1, 18, 20};
}
rect star_rect(int i) {
    return {408, 24 + 113 * i, 112, 112};
}

struct pair_tint {
    const char* name;
    rgb left, right;
};
const pair_tint pairs[] = {
    {"flat", {}, {}},
    {"M\\G", {140, 4, 40}, {4, 100, 20}},
    {"R\\G", {4, 100, 20}, {140, 4, 10}},
    {"R\\C", {4, 80, 60}, {140, 4, 10}},
    {"R\\B", {4, 20, 140}, {140, 4, 20}},
};

enum class blend { mask, alpha, light };

struct board {
    int w, h;
    std::vector<rgb> px;
    board(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_) {}
    void fill(int x0, int y0, int fw, int fh, rgb c) {
        for (int y = y0; y < y0 + fh; ++y)
            for (int x = x0; x < x0 + fw; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
    // One frame of a picture, its handle (hx, hy) placed at (x, y), scaled and
    // turned, sampled nearest like the game. Black is transparent throughout.
    void draw(const image8& img, rect fr, float x, float y, float hx, float hy, float sx, float sy,
              float rot, blend mode, rgb tint, float alpha) {
        float a = rot * 3.14159265f / 180.0f, ca = std::cos(a), sa = std::sin(a);
        float reach = (std::fabs(sx) + std::fabs(sy)) * float(fr.w + fr.h);
        int x0 = int(x - reach), x1 = int(x + reach), y0 = int(y - reach), y1 = int(y + reach);
        for (int py = std::max(0, y0); py < std::min(h, y1); ++py) {
            for (int px_ = std::max(0, x0); px_ < std::min(w, x1); ++px_) {
                float dx = float(px_) + 0.5f - x, dy = float(py) + 0.5f - y;
                float u = (dx * ca + dy * sa) / sx + hx, v = (-dx * sa + dy * ca) / sy + hy;
                int iu = int(std::floor(u)), iv = int(std::floor(v));
                if (iu < 0 || iv < 0 || iu >= fr.w || iv >= fr.h) continue;
                const uint8_t* s = img.at(fr.x + iu, fr.y + iv);
                if ((s[0] | s[1] | s[2]) == 0) continue;
                rgb c{s[0] * tint.r / 65025.0f, s[1] * tint.g / 65025.0f, s[2] * tint.b / 65025.0f};
                rgb& d = px[size_t(py) * w + px_];
                if (mode == blend::mask) d = c;
                if (mode == blend::alpha) d = ag::mix(d, c, alpha);
                if (mode == blend::light) d = d + c * alpha;
                d = {std::min(d.r, 1.0f), std::min(d.g, 1.0f), std::min(d.b, 1.0f)};
            }
        }
    }
    image8 to_image() const {
        image8 o(w, h);
        for (size_t i = 0; i < px.size(); ++i) {
            o.px[i * 3] = uint8_t(std::lround(px[i].r * 255));
            o.px[i * 3 + 1] = uint8_t(std::lround(px[i].g * 255));
            o.px[i * 3 + 2] = uint8_t(std::lround(px[i].b * 255));
        }
        return o;
    }
};

struct assets {
    image8 back, mts1, mts2, grd1, grd2, sheet, pointer, title, logo;
};

rect whole(const image8& i) {
    return {0, 0, i.w, i.h};
}

// Draws the way the game's stereo renderer does: flat, or per pass a copy
// tinted with each eye colour, shifted by the eye offset and added.
struct stereo {
    board& b;
    const pair_tint& tint;
    bool on;
    void i3d(const image8& img, rect fr, float x, float y, float hx, float hy, float sx, float sy,
             float rot, blend flat_mode, float alpha, float offs, int passes) {
        if (!on) {
            b.draw(img, fr, x, y, hx, hy, sx, sy, rot, flat_mode, {255, 255, 255}, alpha);
            return;
        }
        for (int p = 0; p < passes; ++p) {
            b.draw(img, fr, x - offs, y, hx, hy, sx, sy, rot, blend::light, tint.left, alpha);
            b.draw(img, fr, x + offs, y, hx, hy, sx, sy, rot, blend::light, tint.right, alpha);
        }
    }
};

void landscape(stereo& s, const assets& a, int mts_x, int grd_x) {
    s.i3d(a.back, whole(a.back), 0, 0, 0, 0, 1, 1, 0, blend::alpha, s.on ? 1.0f : 0.6f, -8, 2);
    s.i3d(a.mts1, whole(a.mts1), float(mts_x), 100, 0, 0, 1, 1.5f, 0, blend::mask, 1, -4, 2);
    s.i3d(a.mts2, whole(a.mts2), float(mts_x + 640), 100, 0, 0, 1, 1.5f, 0, blend::mask, 1, -4, 2);
    s.i3d(a.grd1, whole(a.grd1), float(grd_x), 280, 0, 0, 1, 1, 0, blend::mask, 1, 2, 2);
    s.i3d(a.grd2, whole(a.grd2), float(grd_x + 640), 280, 0, 0, 1, 1, 0, blend::mask, 1, 2, 2);
}

void snow(stereo& s, const assets& a, int ox, int oy) {
    const float scales[] = {1.0f, 0.8f, 0.4f, 0.2f}, offs[] = {8, 2, -4, -8};
    for (int i = 0; i < 100; ++i) {
        uint32_t hsh = uint32_t(i) * 2654435761U;
        int cls = int(hsh >> 30);
        float x = float(ox) + float((hsh >> 8) % 630) + 5,
              y = float(oy) + float((hsh >> 18) % 470) + 5;
        s.i3d(a.sheet, flake_rect(), x, y, 5, 5, scales[cls], scales[cls], 0, blend::mask, 1,
              offs[cls], 2);
    }
}

void gift(board& b, const assets& a, int ox, int oy, float x, float y, int frame, int glow,
          float ang) {
    b.draw(a.sheet, stuff_rect(frame), float(ox) + x, float(oy) + y, 9, 10, 1, 1, 0, blend::mask,
           {255, 255, 255}, 1);
    b.draw(a.sheet, star_rect(glow), float(ox) + x, float(oy) + y, 56, 56, 1, 1, ang, blend::light,
           {255, 255, 255}, 1);
}

// A moment of round play: the team in boost past a row of gifts, one burst.
void play_screen(board& b, const assets& a, const pair_tint& t, int ox, int oy) {
    board scr(640, 480);
    stereo s{scr, t, t.left.r + t.left.g > 0};
    landscape(s, a, -320, -420);
    gift(scr, a, 0, 0, 430, 120, 0, 0, 20);
    gift(scr, a, 0, 0, 500, 210, 2, 1, 40);
    gift(scr, a, 0, 0, 580, 90, 5, 2, 60);
    gift(scr, a, 0, 0, 360, 250, 0, 0, 80);
    scr.draw(a.sheet, player_rect(0), 190, 170, 202, 41, 0.8f, 0.8f, -8, blend::mask,
             {255, 255, 255}, 1);
    s.i3d(a.sheet, star_rect(0), 330, 90, 56, 56, 1.6f, 1.6f, 30, blend::light, 0.7f, 6, 2);
    snow(s, a, 0, 0);
    b.draw(scr.to_image(), {0, 0, 640, 480}, float(ox), float(oy), 0, 0, 1, 1, 0, blend::mask,
           {255, 255, 255}, 1);
}

// The title menu with its pointer.
void title_screen(board& b, const assets& a, const pair_tint& t, int ox, int oy) {
    board scr(640, 480);
    stereo s{scr, t, t.left.r + t.left.g > 0};
    landscape(s, a, -100, -60);
    s.i3d(a.title, whole(a.title), 320, 120, 243, 69.5f, 1, 1, 0, blend::alpha, 1, 4, 2);
    s.i3d(a.pointer, whole(a.pointer), 250, 230, 0, 0, 1, 1, 0, blend::mask, 1, 4, 2);
    snow(s, a, 0, 0);
    b.draw(scr.to_image(), {0, 0, 640, 480}, float(ox), float(oy), 0, 0, 1, 1, 0, blend::mask,
           {255, 255, 255}, 1);
}

// The logo intro at the moment the flying team crashes into the logo.
void intro_screen(board& b, const assets& a, const pair_tint& t, int ox, int oy) {
    board scr(640, 480);
    stereo s{scr, t, t.left.r + t.left.g > 0};
    s.i3d(a.back, whole(a.back), 0, 0, 0, 0, 1, 1, 0, blend::alpha, s.on ? 1.0f : 0.6f, -8, 2);
    s.i3d(a.logo, whole(a.logo), 320, 150, 210, 118, 0.8f, 0.8f, 0, blend::alpha, 1, -4, 2);
    s.i3d(a.sheet, player_rect(0), 150, 154, 202, 41, 0.45f, 0.45f, -15, blend::alpha, 1, -4.9f, 3);
    s.i3d(a.grd1, whole(a.grd1), 0, 280, 0, 0, 1, 1, 0, blend::mask, 1, 2, 2);
    snow(s, a, 0, 0);
    b.draw(scr.to_image(), {0, 0, 640, 480}, float(ox), float(oy), 0, 0, 1, 1, 0, blend::mask,
           {255, 255, 255}, 1);
}

// Raw pictures: on black (as the game's mask sees them) and over the sky.
void pictures(board& b, const assets& a, const pair_tint& t, int ox, int oy) {
    bool on = t.left.r + t.left.g > 0;
    stereo s{b, t, on};
    auto show = [&](const image8& img, rect fr, int x, int y, float sc) {
        s.i3d(img, fr, float(x), float(y), 0, 0, sc, sc, 0, blend::mask, 1, on ? 2.0f : 0, 2);
    };
    // The bands, so that both joins (1 | 2 and 2 | 1) sit in the middle.
    show(a.mts2, {320, 0, 320, 256}, ox, oy, 1);
    show(a.mts1, whole(a.mts1), ox + 320, oy, 1);
    show(a.mts2, {0, 0, 320, 256}, ox + 960, oy, 1);
    show(a.grd2, {320, 0, 320, 200}, ox, oy + 262, 1);
    show(a.grd1, whole(a.grd1), ox + 320, oy + 262, 1);
    show(a.grd2, {0, 0, 320, 200}, ox + 960, oy + 262, 1);
    int y = oy + 470;
    show(a.sheet, whole(a.sheet), ox, y, 1);
    // Frames over a sky colour, the small ones enlarged.
    b.fill(ox + 590, y, 690, 416, ag::hex(0x2b4f86) * 0.6f);
    for (int i = 0; i < 8; ++i) show(a.sheet, stuff_rect(i), ox + 600 + i * 40, y + 10, 2);
    for (int i = 0; i < 8; ++i) show(a.sheet, stuff_rect(i), ox + 600 + i * 22, y + 60, 1);
    show(a.sheet, flake_rect(), ox + 790, y + 60, 1);
    show(a.sheet, flake_rect(), ox + 810, y + 56, 2);
    show(a.pointer, whole(a.pointer), ox + 850, y + 60, 1);
    show(a.pointer, whole(a.pointer), ox + 880, y + 60, 3);
    for (int i = 0; i < 5; ++i) show(a.sheet, player_rect(i), ox + 600, y + 120 + i * 58, 0.8f);
    for (int i = 0; i < 3; ++i)
        s.i3d(a.sheet, star_rect(i), float(ox + 960 + i * 110), float(y + 120), 0, 0, 0.9f, 0.9f, 0,
              blend::light, 1, on ? 2.0f : 0, 2);
    show(a.title, whole(a.title), ox + 1310, oy, 1);
    show(a.logo, whole(a.logo), ox + 1310, oy + 160, 1);
}

constexpr int panel_w = 1950, panel_h = 1400;

void panel(board& b, const assets& a, int variant, int oy) {
    const pair_tint& t = pairs[variant];
    b.fill(0, oy, panel_w, panel_h, {0.12f, 0.12f, 0.14f});
    play_screen(b, a, t, 6, oy + 6);
    title_screen(b, a, t, 654, oy + 6);
    intro_screen(b, a, t, 1302, oy + 6);
    b.fill(6, oy + 492, 1938, 900, {0, 0, 0});
    pictures(b, a, t, 10, oy + 496);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: assetgen-contact ASSET_DIR OUT.png [--variant N]\n");
        return 2;
    }
    std::string dir = argv[1];
    int only = -1;
    if (argc > 4 && std::strcmp(argv[3], "--variant") == 0) only = std::atoi(argv[4]);
    assets a;
    struct {
        const char* name;
        image8* img;
    } files[] = {
        {"background.png", &a.back}, {"mountains1.png", &a.mts1}, {"mountains2.png", &a.mts2},
        {"ground1.png", &a.grd1},    {"ground2.png", &a.grd2},    {"sprites.png", &a.sheet},
        {"pointer.png", &a.pointer}, {"title.png", &a.title},     {"qblogo.png", &a.logo}};
    for (auto& f : files) {
        if (!ag::read_png(dir + "/" + f.name, *f.img)) {
            std::fprintf(stderr, "assetgen-contact: cannot read %s/%s\n", dir.c_str(), f.name);
            return 1;
        }
    }
    int count = only >= 0 ? 1 : 5;
    board b(panel_w, panel_h * count);
    for (int v = 0; v < count; ++v) panel(b, a, only >= 0 ? only : v, v * panel_h);
    image8 out = b.to_image();
    if (argc > 9 && std::strcmp(argv[5], "--crop") == 0) {
        out = out.crop(std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8]),
                       std::atoi(argv[9]));
        int zoom = argc > 10 ? std::max(1, std::atoi(argv[10])) : 1;
        image8 big(out.w * zoom, out.h * zoom);
        for (int y = 0; y < big.h; ++y)
            for (int x = 0; x < big.w; ++x)
                for (int k = 0; k < 3; ++k) big.at(x, y)[k] = out.at(x / zoom, y / zoom)[k];
        out = big;
    }
    if (!ag::write_png(argv[2], out)) {
        std::fprintf(stderr, "assetgen-contact: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
