// The gift sleigh, its courier and the boost trail.
#include <cmath>

#include "noise.h"
#include "team.h"

namespace ag {
namespace {

const rgb wood_red = hex(0xc23a3a), gold = hex(0xffd34d), gold_dark = hex(0xc9952c);
const rgb parka = hex(0x2a9d8f), fur = hex(0xf4f8ff), skin = hex(0xf2c6a0);

void sparkle(pen& p, float x, float y, float r, rgb c) {
    p.line({x - r, y}, {x + r, y}, r * 0.28f, r * 0.28f, c);
    p.line({x, y - r}, {x, y + r}, r * 0.28f, r * 0.28f, c);
    p.circle(x, y, r * 0.35f, hex(0xffffff));
}

void draw_box(pen& p, float x, float y, float w, float h, float ang, rgb paper, rgb ribbon) {
    p.ellipse(x, y, w * 0.5f, h * 0.5f, ang, lit{paper, x, y, w * 0.5f, 0.4f});
    float a = ang * 3.14159265f / 180.0f;
    pt across{std::cos(a) * w * 0.5f, std::sin(a) * w * 0.5f};
    pt down{-std::sin(a) * h * 0.5f, std::cos(a) * h * 0.5f};
    pt c{x, y};
    // Square the blob off with two ribbons crossing it.
    p.poly({c - across - down, c + across - down, c + across + down, c - across + down},
           lit{paper, x, y, w * 0.5f, 0.4f});
    p.line(c - across, c + across, 1.2f, 1.2f, ribbon);
    p.line(c - down, c + down, 1.2f, 1.2f, ribbon);
    p.circle(c.x - down.x, c.y - down.y - 1, 2.0f, ribbon);
}

}  // namespace

void draw_sleigh(pen& p, float x, float y, gait g) {
    // Runner: a gold rail that curls up at the front.
    p.curve({{x + 8, y + 6},
             {x + 60, y + 6.5f},
             {x + 112, y + 5},
             {x + 126, y - 4},
             {x + 124, y - 12},
             {x + 118, y - 10}},
            1.8f, 1.4f, gold);
    for (float sx : {x + 26, x + 62, x + 98})
        p.line({sx, y - 2}, {sx - 3, y + 6}, 1.4f, 1.4f, gold_dark);
    // Gift sack behind the seat, with parcels poking out.
    p.blob({{x + 6, y - 30},
            {x + 4, y - 50},
            {x + 18, y - 62},
            {x + 40, y - 60},
            {x + 52, y - 44},
            {x + 50, y - 28}},
           lit{hex(0x8a6a4a), x + 28, y - 45, 24, 0.45f});
    draw_box(p, x + 22, y - 62, 15, 12, -12, hex(0xe04848), gold);
    draw_box(p, x + 40, y - 58, 12, 10, 14, hex(0x39b86b), gold);
    draw_box(p, x + 10, y - 55, 10, 9, -30, hex(0x5fa8ff), hex(0xf4f8ff));
    // The body: a tall back that sweeps down and forward to a curled prow.
    std::vector<pt> body{{x + 2, y - 46},  {x + 10, y - 42},  {x + 14, y - 30},  {x + 40, y - 24},
                         {x + 80, y - 24}, {x + 104, y - 30}, {x + 116, y - 34}, {x + 118, y - 24},
                         {x + 108, y - 8}, {x + 92, y},       {x + 20, y},       {x + 6, y - 12}};
    p.blob(body, [=](float px, float py) -> ink {
        rgb c = lit{wood_red, x + 50, y - 24, 60, 0.5f}(px, py).c;
        // Panelled side: a darker inset and a gold scroll.
        float u = (px - x - 60) / 40.0f, v = (py - y + 12) / 7.0f;
        if (u * u + v * v < 1.0f && u * u + v * v > 0.55f) c = gold;
        return {c, 1};
    });
    p.curve(
        {{x + 4, y - 45}, {x + 14, y - 29}, {x + 60, y - 23}, {x + 104, y - 29}, {x + 117, y - 33}},
        1.3f, 1.3f, gold);
    p.circle(x + 118, y - 33, 2.4f, gold);
    p.circle(x + 3, y - 46, 2.4f, gold);
    (void)g;
}

void draw_courier(pen& p, float x, float y, gait g) {
    bool stunned = g == gait::stunned;
    bool boost = g == gait::boost_a || g == gait::boost_b;
    float wave = g == gait::tuck || g == gait::boost_b ? 1.0f : -1.0f;
    // Scarf streaming back in the wind, red with cream stripes.
    float lift = boost ? -2.0f : 0.0f;
    auto scarf = [](float px, float) -> ink {
        return {std::fmod(px + 400.0f, 7.0f) < 3.5f ? hex(0xe04848) : hex(0xf4e6d0), 1};
    };
    if (stunned) {
        p.curve({{x + 1, y - 26}, {x - 6, y - 20}, {x - 9, y - 12}}, 2.4f, 1.8f, scarf);
    } else {
        p.curve({{x + 1, y - 27},
                 {x - 10, y - 28 + lift},
                 {x - 22, y - 30 + wave * 3 + lift},
                 {x - 34, y - 27 - wave * 3 + lift * 2},
                 {x - 44, y - 30 + wave * 2 + lift * 2}},
                2.6f, 1.6f, scarf);
    }
    // Parka, hunched forward to hold the reins.
    p.ellipse(x, y - 14, 9.5f, 13, 12, lit{parka, x, y - 16, 12, 0.45f});
    p.rect(x - 6, y - 3, x + 8, y + 1, hex(0x1f756b));
    // Arm and mitten reaching forward.
    pt hand = stunned ? pt{x + 9, y - 4} : pt{x + 15, y - 14};
    p.line({x + 2, y - 19}, hand, 3.2f, 2.6f, hex(0x248a7e));
    p.circle(hand.x + 1, hand.y, 2.6f, hex(0xe04848));
    // Head with a fur-trimmed hood and a pom-pom cap.
    pt head{x + 3, y - 31};
    if (stunned) head = head + pt{1, 2};
    p.circle(head.x - 1, head.y, 9.5f, lit{parka, head.x, head.y, 10, 0.4f});
    p.circle(head.x + 1, head.y + 1, 7.2f, lit{fur, head.x, head.y, 8, 0.35f});
    p.circle(head.x + 2, head.y + 1.5f, 5.6f, lit{skin, head.x + 2, head.y + 2, 6, 0.3f});
    p.circle(head.x + 5, head.y + 3.5f, 1.6f, hex(0xf08a8a));  // rosy cheek
    if (stunned) {
        pt e{head.x + 3.5f, head.y};
        p.line(e + pt{-1.4f, -1.4f}, e + pt{1.4f, 1.4f}, 0.6f, 0.6f, hex(0x1c2030));
        p.line(e + pt{-1.4f, 1.4f}, e + pt{1.4f, -1.4f}, 0.6f, 0.6f, hex(0x1c2030));
        p.circle(head.x + 4, head.y + 4.5f, 1.3f, hex(0x6b2a2a));  // an "oh" mouth
    } else {
        p.circle(head.x + 4, head.y, 1.3f, hex(0x1c2030));
        p.line({head.x + 2.5f, head.y + 4}, {head.x + 5.5f, head.y + 3.5f}, 0.6f, 0.6f,
               hex(0x8a3a3a));
    }
    // Cap: tilted back in a boost, knocked askew when stunned.
    float tip_dx = boost ? -14.0f : stunned ? 8.0f : -9.0f;
    float tip_dy = boost ? -5.0f : stunned ? -3.0f : -7.0f;
    pt cap{head.x, head.y - 7};
    p.poly({cap + pt{-8, 2}, cap + pt{8, 2}, cap + pt{tip_dx, tip_dy}},
           lit{hex(0x39b86b), cap.x, cap.y - 4, 9, 0.4f});
    p.line(cap + pt{-8, 2}, cap + pt{8, 2}, 1.8f, 1.8f, fur);
    p.circle(cap.x + tip_dx, cap.y + tip_dy, 2.8f, fur);
    if (stunned) {
        // Little stars circling a dizzy head.
        for (int i = 0; i < 3; ++i) {
            float a = float(i) * 2.1f + 0.4f;
            sparkle(p, head.x + std::cos(a) * 12, head.y - 12 + std::sin(a) * 3.5f, 2.8f, gold);
        }
    }
}

void draw_trail(pen& p, float x0, float x1, float y, int phase) {
    rng r(uint32_t(900 + phase));
    for (int i = 0; i < 9; ++i) {
        float sy = y + float(i) * 4.2f - 18.0f + r.range(-1, 1);
        float len = (x1 - x0) * r.range(0.35f, 1.0f);
        float start = x1 - len;
        // Bright at the sleigh, cooling to a deep blue where it thins out.
        p.region(
            start, sy - 1.4f, x1, sy + 1.4f,
            [=](float px, float py) {
                float t = (px - start) / len;
                return std::fabs(py - sy) <= 0.4f + 0.9f * t;
            },
            [=](float px, float) -> ink {
                float t = (px - start) / len;
                return {
                    mix(hex(0x3c5aa8), mix(hex(0x6ff0ff), hex(0xf4f8ff), t), smooth(0, 0.7f, t)),
                    1};
            });
    }
    for (int i = 0; i < 7; ++i) {
        float sx = r.range(x0 + 4, x1 - 6), sy = y + r.range(-20, 18);
        sparkle(p, sx, sy, r.range(2.0f, 3.6f), i % 2 ? hex(0xffd86b) : hex(0xbfefff));
    }
}

}  // namespace ag
