// Gifts and hazards: the 50 presents, warpers and bombs of a round, laid out far to the
// right in the fixed pool `stuff`. Each frame a live record moves with the world, animates,
// draws itself flat with its additive glow, finishes once it has passed, and acts on the
// player on contact.
#pragma once

#include "render/game_object.h"

struct gstuff_tag : game_object {
    float x = 0.0f;  // centre on screen
    float y = 0.0f;
    int frame = 0;  // base frame in img_stuff, also the kind: 0 present, 1 warper, 4 bomb
    int f_tmr = 0;  // animation ticks
    int f_ctr = 0;  // animation frame offset, added to frame
    int m_tmr = 0;  // ticks per animation frame, less one
    int m_frm = 0;  // highest frame offset
    int dead = 0;   // 1 once caught, hit or passed

    // Lays out a new round; `create` non-zero first fills the pool with new records.
    static int new_stuff(int create);
    int update();
    static int update_all();
    static int destroy_stuff();
};
