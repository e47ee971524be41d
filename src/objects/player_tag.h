// The player's flying character and the record of the current game: score, best score,
// the new-best flag and the round clock (seconds in `level`, frames in `lives`).
// The sprite is drawn at 0.8 scale and never in stereo.
#pragma once

#include "render/game_object.h"

struct player_tag : game_object {
    int score = 0;    // points of the current game, never below 0
    int best_sc = 0;  // best score ever reached; saved to the high-score file
    int new_bs = 0;   // 1 once the score passed the best during this game
    int lives = 0;    // frames elapsed in the current second of the round clock
    int level = 0;    // seconds left on the round clock
    float x = 0.0f;   // centre of the sprite on screen
    float y = 0.0f;
    float rotation = 0.0f;  // tilt in degrees, -15 climbing .. 15 diving
    float scale = 0.0f;     // unused: the sprite is always drawn at 0.8
    int frame = 0;          // base frame of the look: 0 normal, 2 stunned, 3 boost
    int a_tmr = 0;          // animation timer, also the stun timer
    int a_ctr = 0;          // animation toggle, added to frame when drawing

    // Places the player for a round; a non-zero flag also starts a new game (score, clock,
    // boost speed and a fresh layout of gifts).
    static int reset(int full);
    // Picks the look from scroll_spd, runs the stun, draws the sprite flat, relaxes the tilt.
    int update();
    // Steers up and down with the arrows, the pad or a held finger, unless stunned.
    int get_inputs();
    // Throws away pending fire presses without waiting: a button held through it must be
    // let go before it counts again.
    int flush_inputs();
};
