// The game's pictures, font and sounds, loaded once at start-up, and the two ways every
// sound is played: play_sound_effect (once, at sound_vol) and start_music (a looping track
// at music_vol on a new music_chn). Sounds come from the game's Data folder.
#pragma once

#include <string>
#include <vector>

#include "media/image.h"
#include "media/sound.h"
#include "media/text.h"

extern media::image_ref img_back, img_title, img_pointer, img_mts1, img_mts2, img_grd1, img_grd2;
// The four sprite images, made empty at start-up and cut from the sprite sheet here.
extern media::image_ref img_flake, img_stuff, img_player, img_star;
extern media::font_ref game_font;
extern media::sound_ref snd_logohit, snd_present, snd_warper, snd_warpin, snd_warpout, snd_bomb,
    snd_loose, snd_chime;
extern media::channel_ref music_chn;
extern float sound_vol;  // effects gain 0..1, set by the menus
extern float music_vol;  // music gain 0..1, set by the menus

// Loads the font, the pictures and the effects, and cuts the sprite sheet (through the back
// buffer) into the four sprite images. A missing embedded picture or font is fatal.
void load_assets();
void play_sound_effect(const media::sound_ref& snd);
void start_music(int track);  // 1 title, 2 round play, 3 win; stops the old track first

// What was started since the last call, for the runner's trace: effect names such as
// "Present", and track numbers.
std::vector<std::string> take_started_effects();
std::vector<int> take_started_music();
void keep_sound_journal(bool on);

void reset_assets();
