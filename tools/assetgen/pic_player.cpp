// The five frames of the player's team: flight (0, 1), dazed (2), boost (3, 4).
#include "pictures.h"
#include "team.h"

namespace ag {

image8 draw_player_frame(int frame) {
    constexpr int w = 404, h = 82, ss = 4;
    canvas hi(w * ss, h * ss);
    pen p{hi, float(ss)};
    const gait gaits[] = {gait::reach, gait::tuck, gait::stunned, gait::boost_a, gait::boost_b};
    gait g = gaits[frame];
    bool boost = frame >= 3;
    float sled_x = 52, sled_y = 72;
    if (boost) draw_trail(p, 2, 66, 54, frame);
    // The rear elk bobs out of step with the front one.
    gait rear = g == gait::reach ? gait::tuck : g == gait::tuck ? gait::reach : g;
    float elk_y = g == gait::stunned ? 50.0f : 45.0f;
    float rear_x = 234, lead_x = 342;
    // Traces from the prow to the elk, and the reins from the courier's hands.
    rgb leather = hex(0x6b3d28);
    p.line({sled_x + 116, sled_y - 30}, {rear_x - 4, elk_y + 1}, 1.0f, 1.0f, leather);
    p.line({rear_x + 22, elk_y}, {lead_x - 4, elk_y + 1}, 1.0f, 1.0f, leather);
    pt hand = g == gait::stunned ? pt{sled_x + 84, sled_y - 28} : pt{sled_x + 90, sled_y - 38};
    p.curve({hand, {(hand.x + rear_x) * 0.5f, hand.y + 5}, {rear_x + 22, elk_y - 6}}, 0.7f, 0.7f,
            hex(0xffd34d));
    p.curve({{rear_x + 22, elk_y - 6},
             {(rear_x + lead_x) * 0.5f + 10, elk_y - 2},
             {lead_x + 22, elk_y - 6}},
            0.7f, 0.7f, hex(0xffd34d));
    if (boost) {
        // Wind lines streaming off the elk.
        for (float ex : {rear_x, lead_x}) {
            for (int i = 0; i < 3; ++i) {
                float ly = elk_y - 9 + float(i) * 8 + float(frame - 3) * 2;
                float lx = ex - 44 - float((i * 7 + frame * 5) % 12);
                p.line({lx, ly}, {lx + 16, ly}, 0.5f, 0.9f, hex(0xbfefff));
            }
        }
    }
    draw_elk(p, rear_x, elk_y, {rear, false});
    draw_elk(p, lead_x, elk_y + (g == gait::reach ? -1.0f : 1.0f), {g, true});
    draw_courier(p, sled_x + 76, sled_y - 22, g);
    draw_sleigh(p, sled_x, sled_y, g);
    canvas lo = outline(downsample(hi, ss, ss), 0.25f, hex(0x10142a), false);
    return to_mask_rgb8(lo);
}

}  // namespace ag
