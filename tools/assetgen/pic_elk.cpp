// The frost elk that pull the sleigh.
#include <cmath>

#include "team.h"

namespace ag {
namespace {

const rgb coat = hex(0x9a623f), coat_dark = hex(0x5e3a27), belly = hex(0xf0dcc0);
const rgb hoof = hex(0x2a2d38), antler = hex(0xbfefff), antler_tip = hex(0xf4f8ff);
const rgb gold = hex(0xffd34d), strap = hex(0xc23a3a);

struct leg_angles {
    float upper, lower;  // degrees from straight down, positive towards the front
};

// Hip (or shoulder) to hoof in two bends.
void draw_leg(pen& p, pt hip, leg_angles a, float len, bool far_side) {
    auto dir = [](float deg) {
        float r = deg * 3.14159265f / 180.0f;
        return pt{std::sin(r), std::cos(r)};
    };
    pt knee = hip + dir(a.upper) * len;
    pt foot = knee + dir(a.lower) * (len * 0.95f);
    rgb c = far_side ? coat_dark : coat;
    p.line(hip, knee, 3.2f, 2.0f, c);
    p.line(knee, foot, 1.9f, 1.5f, far_side ? coat_dark * 0.9f : coat * 0.85f);
    p.circle(foot.x, foot.y, 1.9f, hoof);
}

void draw_antlers(pen& p, pt base, bool droop) {
    float d = droop ? 6.0f : 0.0f;
    // Each tine ends in a bright crystal point: the "glimmer" of the team.
    auto tine = [&](pt a, pt b, float r) {
        p.line(a, b, r, r * 0.55f, antler);
        p.circle(b.x, b.y, r * 0.8f, antler_tip);
    };
    pt beam_top = base + pt{-11, -17 + d};
    p.curve({base, base + pt{-3, -9 + d * 0.5f}, beam_top}, 1.9f, 1.2f, antler);
    tine(base + pt{-2, -6 + d * 0.4f}, base + pt{5, -13 + d}, 1.3f);
    tine(base + pt{-5, -11 + d * 0.7f}, base + pt{0, -20 + d}, 1.2f);
    tine(beam_top, beam_top + pt{-6, -2}, 1.1f);
    p.circle(beam_top.x, beam_top.y, 1.5f, antler_tip);
}

}  // namespace

void draw_elk(pen& p, float x, float y, elk_pose pose) {
    bool stunned = pose.g == gait::stunned;
    bool boost = pose.g == gait::boost_a || pose.g == gait::boost_b;
    // Legs on the far side first, in a darker coat.
    leg_angles front_far, front_near, hind_far, hind_near;
    switch (pose.g) {
        case gait::reach:
            front_far = {40, 60}, front_near = {52, 75}, hind_far = {-38, -62},
            hind_near = {-50, -75};
            break;
        case gait::tuck:
            front_far = {25, -35}, front_near = {38, -20}, hind_far = {-8, 35}, hind_near = {5, 50};
            break;
        case gait::stunned:
            front_far = {8, 0}, front_near = {-4, 6}, hind_far = {6, -4}, hind_near = {-6, 2};
            break;
        case gait::boost_a:
        case gait::boost_b: {
            float k = pose.g == gait::boost_a ? 0.0f : 8.0f;
            front_far = {68 - k, 84 - k}, front_near = {76 - k, 92 - k},
            hind_far = {-70 + k, -86 + k};
            hind_near = {-78 + k, -94 + k};
            break;
        }
    }
    float leg = 9.5f;
    draw_leg(p, {x + 14, y + 5}, front_far, leg, true);
    draw_leg(p, {x - 15, y + 4}, hind_far, leg, true);
    // Tail tuft.
    p.ellipse(x - 27, y - 5, 4, 2.6f, boost ? -10.0f : -35.0f, belly);
    // Body, with a pale belly and a harness strap studded with gold.
    p.ellipse(x, y, 28, 11.5f, stunned ? 4.0f : -3.0f, lit{coat, x, y, 28, 0.45f});
    p.region(
        x - 22, y, x + 22, y + 11,
        [=](float px, float py) {
            float u = (px - x) / 24.0f, v = (py - y - 2) / 8.0f;
            return u * u + v * v <= 1.0f && py > y + 3;
        },
        belly);
    p.rect(x + 3, y - 10, x + 8, y + 10, strap);
    for (int i = 0; i < 3; ++i) p.circle(x + 5.5f, y - 6 + float(i) * 6, 1.1f, gold);
    draw_leg(p, {x + 16, y + 6}, front_near, leg, false);
    draw_leg(p, {x - 13, y + 5}, hind_near, leg, false);
    // Neck and head; the head droops when the team is dazed.
    pt neck_base{x + 19, y - 3};
    pt head = stunned ? pt{x + 34, y - 2} : boost ? pt{x + 37, y - 13} : pt{x + 33, y - 17};
    p.line(neck_base, head + pt{-4, 2}, 7.0f, 5.0f, lit{coat, x + 26, y - 10, 10, 0.4f});
    // Collar with a bell.
    p.line(neck_base + pt{1, -5}, neck_base + pt{4, 5}, 2.0f, 2.0f, strap);
    p.circle(neck_base.x + 5, neck_base.y + 5, 2.6f,
             lit{gold, neck_base.x + 5, neck_base.y + 5, 3});
    float tilt = stunned ? 35.0f : boost ? 8.0f : 0.0f;
    p.ellipse(head.x, head.y, 8, 6, tilt, lit{coat, head.x, head.y, 8, 0.45f});
    float ca = std::cos(tilt * 3.14159265f / 180.0f), sa = std::sin(tilt * 3.14159265f / 180.0f);
    auto on_head = [&](float u, float v) {
        return pt{head.x + u * ca - v * sa, head.y + u * sa + v * ca};
    };
    pt muzzle = on_head(7, 2);
    p.ellipse(muzzle.x, muzzle.y, 5.5f, 4.0f, tilt, belly);
    pt nose = on_head(11.5f, 1);
    p.circle(nose.x, nose.y, 2.0f, hex(0x3a2420));
    // Ear swept back.
    pt ear = on_head(-5, -5);
    p.ellipse(ear.x, ear.y, 4.5f, 2.0f, boost ? 15.0f : -25.0f + tilt, coat_dark);
    pt eye = on_head(1.5f, -2);
    if (stunned) {
        p.line(eye + pt{-1.6f, -1.6f}, eye + pt{1.6f, 1.6f}, 0.6f, 0.6f, hex(0x1c2030));
        p.line(eye + pt{-1.6f, 1.6f}, eye + pt{1.6f, -1.6f}, 0.6f, 0.6f, hex(0x1c2030));
    } else {
        p.circle(eye.x, eye.y, 1.7f, hex(0x1c2030));
        p.circle(eye.x + 0.6f, eye.y - 0.6f, 0.6f, hex(0xffffff));
    }
    if (pose.lead) {
        pt blaze = on_head(3, -4.5f);
        p.circle(blaze.x, blaze.y, 1.3f, hex(0xffffff));
    }
    draw_antlers(p, on_head(-1, -5), stunned);
}

}  // namespace ag
