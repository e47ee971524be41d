// The game's shared state, gathered in one place (the pictures, sounds, music channel and
// volumes live with the asset loader in media/assets.h). Each global names the module that owns
// its rules; the others only read it (or change it where that module says).
#pragma once

#include <array>
#include <memory>
#include <string>

#include <list>
#include "media/assets.h"
#include "media/image.h"

#include "objects/gstuff_tag.h"
#include "objects/player_tag.h"
#include "objects/sceenery_tag.h"
#include "objects/snow_tag.h"
#include "objects/star3d_tag.h"
#include "render/qbdraw_tag.h"

// Screens: 2 round play, 3 pause menu, 4 title menu, 5 tally; 0 before start-up.
enum screen_state : int { gs_start = 0, gs_play = 2, gs_pause = 3, gs_title = 4, gs_tally = 5 };

extern int game_state;  // main loop (game/main_loop)
extern int quit_game;   // main loop: non-zero ends the loop after the pass; never cleared
extern int mode_3d;     // menus; stored by storage/anaglyph_file: 0 flat, 1..4 colour pairs
extern int retro_fx;    // menus: scan lines on or off, drawn by the main loop
extern int sound_lvl;   // menus: effects volume step 0..10
extern int music_lvl;   // menus: music volume step 0..10
extern const std::array<float, 8> joy_lim;  // full pushes left, right, up, down (menus, player)

extern int round_phase;  // round play: 0 fly-in, 1 active play, 2 fly-out
extern int scroll_spd;   // round play: world speed in pixels per frame, negative to the left
extern int spd_ctr;      // round play: frames of the speed steps
extern int stuff_done;   // gifts: objects finished this round, of 50
extern int gifts_total;  // gifts: presents laid out this round
extern int gifts_got;    // gifts: presents caught this round
extern int glow_ang;     // gifts: rotation of the glows and bursts in degrees
extern int tally_tmr;    // tally: frames since the tally screen opened
extern int tally_won;    // tally: 1 when the round was completed
extern int ptr_x;        // menus: the menu pointer, from the mouse or a pad
extern int ptr_y;

// Made once at start-up (game/startup) and kept for the whole run.
extern std::shared_ptr<qbdraw_tag> draw3d;                 // render/qbdraw_tag
extern std::shared_ptr<player_tag> player;                 // objects/player
extern std::shared_ptr<sceenery_tag> scenery;              // objects/sceenery_tag
extern std::array<std::shared_ptr<gstuff_tag>, 50> stuff;  // objects/gstuff_tag
extern std::list<std::shared_ptr<star3d_tag>> stars;       // objects/star3d_tag
extern std::array<std::shared_ptr<snow_tag>, 100> flakes;  // objects/snow_tag

// Caption tables (game/startup).
extern const std::array<std::string, 2> onoff_txt;
extern const std::array<std::string, 11> vol_txt;
extern const std::array<std::string, 6> menu_txt;
extern const std::array<std::string, 5> mode3d_txt;
extern const std::string credits_txt;  // version and credits under the title menu

// The frozen frame of the pause and tally screens (main loop).
extern media::image_ref img_snap;

// Puts every global back to its value before start-up (for tests that start the game twice).
void reset_globals();
