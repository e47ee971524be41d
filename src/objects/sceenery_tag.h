// The scrolling landscape: a band of mountains (half speed, depth -4) behind a band of
// ground (full speed, depth +2). Each band is two 640-pixel halves that repeat every
// 1280 pixels; a half at or past -640 jumps to +640.
#pragma once

#include "render/game_object.h"

struct sceenery_tag : game_object {
    int bm1x = 0;  // left edges of the two mountain halves
    int bm2x = 0;
    int grd1x = 0;  // left edges of the two ground halves
    int grd2x = 0;

    // Puts both bands of the one landscape back to 0 and 640.
    static int reset();
    // Moves the bands by scroll_spd, then draws them.
    int update();
};
