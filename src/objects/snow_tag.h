// The snow storm: 100 flakes in four depth classes that fall over every screen, drift with
// the world during round play, and come back at the other side or at the top.
#pragma once

#include "render/game_object.h"

struct snow_tag : game_object {
    float x = 0.0f;  // centre on screen
    float y = 0.0f;
    float sc = 0.0f;    // scale, and the factor of the sideways drift
    float offs = 0.0f;  // eye offset: near flakes +8 .. far flakes -8
    float xstp = 0.0f;  // unused: the drift comes from scroll_spd
    float ystp = 0.0f;  // fall per frame

    // Fills `flakes` with new flakes at random places and depths.
    static int start_storm();
    // Draws the flake, then moves it one frame.
    int snowing();
    static int update_storm();
};
