// The game's three music loops and its eight effects.
#pragma once

#include "sounds.h"

namespace ag {

sound make_intro_music();  // calm title waltz
sound make_play_music();   // lively round music, over a minute a loop
sound make_win_music();    // short triumphant fanfare

sound make_logo_hit();
sound make_present();
sound make_warper();
sound make_warp_in();
sound make_warp_out();
sound make_bomb();
sound make_loose();
sound make_chime();

}  // namespace ag
