// A star burst: the glow of a caught or hit gift, launched where it was. Over 51 frames it
// spins with the glows, swells, fades and recedes in stereo depth, then removes itself.
#pragma once

#include "render/game_object.h"

struct star3d_tag : game_object {
    float x = 0.0f;  // centre on screen
    float y = 0.0f;
    float sc = 0.0f;    // scale, from 1.0
    float al = 0.0f;    // alpha, from 1.0
    float offs = 0.0f;  // eye offset, from 0.0
    int frame = 0;      // glow style: 0 present, 1 warper, 2 bomb

    // Launches a burst at the end of `stars`.
    static int shoot_it(float x, float y, int style);
    // Draws the burst once, then advances it; leaves `stars` once faded out.
    int update();
    static int update_all();
    static int destroy_all();
};
