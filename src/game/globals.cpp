#include "game/globals.h"

int game_state = gs_start;
int quit_game = 0;
int mode_3d = 0;
int retro_fx = 0;
int sound_lvl = 10;
int music_lvl = 10;
const std::array<float, 8> joy_lim = {-1, 1, -1, 1, -1, 1, -1, 1};

int round_phase = 0;
int scroll_spd = 0;
int spd_ctr = 0;
int stuff_done = 0;
int gifts_total = 0;
int gifts_got = 0;
int glow_ang = 0;
int tally_tmr = 0;
int tally_won = 0;
int ptr_x = 0;
int ptr_y = 0;

std::shared_ptr<qbdraw_tag> draw3d;
std::shared_ptr<player_tag> player;
std::shared_ptr<sceenery_tag> scenery;
std::array<std::shared_ptr<gstuff_tag>, 50> stuff;
std::list<std::shared_ptr<star3d_tag>> stars;
std::array<std::shared_ptr<snow_tag>, 100> flakes;

const std::array<std::string, 2> onoff_txt = {"Off", "On"};
const std::array<std::string, 11> vol_txt = {"Off", "10%", "20%", "30%", "40%", "50%",
                                             "60%", "70%", "80%", "90%", "Max"};
const std::array<std::string, 6> menu_txt = {"Start Game",     "3D Graphics: ",  "Retro line FX: ",
                                             "Sound Volume: ", "Music Volume: ", "Exit Game"};
const std::string credits_txt = "Glimmerfrost 3D v" GF_VERSION "  -  Quartzbell Games";
const std::array<std::string, 5> mode3d_txt = {"Off", "M\\G", "R\\G", "R\\C", "R\\B"};

media::image_ref img_snap;

void reset_globals() {
    game_state = gs_start;
    quit_game = 0;
    mode_3d = 0;
    retro_fx = 0;
    sound_lvl = music_lvl = 10;
    round_phase = scroll_spd = spd_ctr = 0;
    stuff_done = gifts_total = gifts_got = 0;
    glow_ang = 0;
    tally_tmr = tally_won = 0;
    ptr_x = ptr_y = 0;
    draw3d.reset();
    player.reset();
    scenery.reset();
    for (auto& g : stuff) g.reset();
    stars.clear();
    for (auto& f : flakes) f.reset();
    img_snap.reset();
    reset_assets();
}
