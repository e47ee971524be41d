// The screen handlers the main loop runs, one call per frame each.
#pragma once

#include <string>

void round_play();  // game_state 2
void menus();       // game_state 3 (pause) and 4 (title)
void tally();       // game_state 5
void hud();         // every screen, after the handler; ends with the snow
int logo_intro();   // once at start-up; starts the title music

// Abandons the paused round: the world stands still and the title music starts afresh.
void back_to_title();
std::string hud_caption(const std::string& prefix, int value);
