// The small sprites: present, warper, bomb (18 x 20) and the snowflake.
// They must tell apart at a glance: a square box with a bow, a bright swirl,
// a dark round bomb with a burning fuse.
#include <cmath>

#include "draw.h"
#include "pictures.h"

namespace ag {
namespace {

constexpr int ss = 8;
const rgb rim = hex(0x10142a);

image8 finish(canvas& hi) {
    canvas lo = outline(downsample(hi, ss, ss), 0.25f, rim, false);
    return to_mask_rgb8(lo);
}

image8 present() {
    canvas hi(18 * ss, 20 * ss);
    pen p{hi, float(ss)};
    rgb red = hex(0xe04848), gold = hex(0xffd34d);
    p.rect(2, 8, 16, 19, lit{red, 9, 13, 8, 0.5f});
    p.rect(2, 8, 16, 9.5f, red * 0.7f);  // shadow under the lid
    p.rect(1, 6, 17, 8.5f, lit{hex(0xf06060), 9, 7, 8, 0.4f});
    p.rect(7.8f, 6, 10.2f, 19, lit{gold, 9, 12, 6, 0.3f});
    // Bow: two loops and a knot.
    p.ellipse(5.8f, 4, 3.4f, 2.4f, -20, lit{gold, 5.8f, 4, 3.4f, 0.4f});
    p.ellipse(12.2f, 4, 3.4f, 2.4f, 20, lit{gold, 12.2f, 4, 3.4f, 0.4f});
    p.ellipse(5.8f, 4, 1.4f, 0.9f, -20, hex(0xc9952c));
    p.ellipse(12.2f, 4, 1.4f, 0.9f, 20, hex(0xc9952c));
    p.circle(9, 5.3f, 1.6f, hex(0xfff1a0));
    p.rect(3, 10, 4.2f, 17, hex(0xff8a8a));  // moonlit edge
    return finish(hi);
}

image8 warper(int phase) {
    canvas hi(18 * ss, 20 * ss);
    pen p{hi, float(ss)};
    float cx = 9, cy = 10, r0 = 8.2f;
    float turn = float(phase) * 2.0944f / 3.0f;  // a third of an arm a frame
    p.region(
        0, 0, 18, 20, [=](float x, float y) { return std::hypot(x - cx, y - cy) <= r0; },
        [=](float x, float y) -> ink {
            float dx = x - cx, dy = y - cy, r = std::hypot(dx, dy);
            float a = std::atan2(dy, dx);
            float arm = 0.5f + 0.5f * std::cos(3.0f * a - r * 0.75f + turn);
            rgb c = mix(hex(0x6a3fd0), hex(0x5ff2ff), smooth(0.35f, 0.8f, arm));
            c = mix(c, hex(0xa66bff), smooth(5.5f, 8.2f, r) * 0.6f);
            c = mix(hex(0xffffff), c, smooth(0.5f, 3.2f, r));
            return {c, 1};
        });
    // Sparks flung off the rim, moving round with the swirl.
    for (int i = 0; i < 3; ++i) {
        float a = float(i) * 2.0944f - turn + 0.7f;
        p.circle(cx + std::cos(a) * 7.4f, cy + std::sin(a) * 7.4f, 1.1f, hex(0xe8fdff));
    }
    return finish(hi);
}

image8 bomb(int phase) {
    canvas hi(18 * ss, 20 * ss);
    pen p{hi, float(ss)};
    float cx = 8, cy = 13.0f;
    p.circle(cx, cy, 6.5f, [=](float x, float y) -> ink {
        float d = std::hypot(x - (cx - 2.5f), y - (cy - 2.5f));
        rgb c = mix(hex(0xb8c0da), hex(0x2a2d38), smooth(0.4f, 4.5f, d));
        // A cold rim of moonlight on the far side keeps it off the night sky.
        float e = std::hypot(x - cx, y - cy);
        if (e > 5.0f && x - cx + y - cy > 1.5f) c = mix(c, hex(0x8a93b0), 0.85f);
        return {c, 1};
    });
    p.circle(cx - 2.6f, cy - 2.6f, 1.3f, hex(0xffffff));
    p.rect(cx - 2.2f, cy - 8.6f, cx + 2.2f, cy - 5.8f, lit{hex(0x6c7390), cx, cy - 7, 3, 0.4f});
    // The fuse burns down over the four frames.
    float burn = float(phase) * 0.7f;
    pt base{cx + 0.5f, cy - 8.5f};
    pt tip{cx + 5.0f - burn * 0.5f, cy - 10.0f + burn * 0.6f};
    p.curve({base, {cx + 2.8f, cy - 10.5f}, tip}, 0.8f, 0.7f, hex(0xc9a878));
    // Spark: a flickering star of orange rays round a white-hot core.
    float rot = float(phase) * 0.55f;
    float len = phase % 2 ? 3.1f : 2.5f;
    for (int k = 0; k < 4; ++k) {
        float a = rot + float(k) * 1.5708f;
        pt end{tip.x + std::cos(a) * len, tip.y + std::sin(a) * len};
        p.line(tip, end, 0.8f, 0.35f, k % 2 ? hex(0xff5a2a) : hex(0xffb347));
    }
    p.circle(tip.x, tip.y, 1.5f, hex(0xffe08a));
    p.circle(tip.x, tip.y, 0.8f, hex(0xffffff));
    return finish(hi);
}

}  // namespace

image8 draw_stuff_frame(int frame) {
    if (frame == 0) return present();
    if (frame <= 3) return warper(frame - 1);
    return bomb(frame - 4);
}

image8 draw_flake() {
    constexpr int fs = 8;
    canvas hi(10 * fs, 10 * fs);
    pen p{hi, float(fs)};
    rgb arm = hex(0xdfe9fb), tip = hex(0xf4f8ff);
    for (int k = 0; k < 6; ++k) {
        float a = float(k) * 1.0472f + 0.2618f;
        pt c{5, 5}, d{std::cos(a), std::sin(a)};
        p.line(c, c + d * 4.3f, 0.55f, 0.45f, arm);
        pt mid = c + d * 2.6f;
        pt side{-d.y, d.x};
        p.line(mid, mid + (d + side) * 1.1f, 0.4f, 0.4f, tip);
        p.line(mid, mid + (d - side) * 1.1f, 0.4f, 0.4f, tip);
    }
    p.circle(5, 5, 1.6f, hex(0xffffff));
    canvas lo = downsample(hi, fs, fs);
    return to_mask_rgb8(lo);
}

}  // namespace ag
