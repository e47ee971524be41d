// The game's two saved files, read at start-up and written at shutdown; the 3D choice also
// as the menu steps it, and the best score when a round that set it ends or is abandoned.
#pragma once

// Action 1 loads mode_3d, 2 saves it; every action then hands mode_3d's colour pair to
// draw3d (0 alone only does that).
int anaglyph_file(int action);
// save 0 loads player->best_sc (0 without a file); any other value writes it.
int hiscore_file(int save);
// Writes both, as shutdown does.
void save_both_files();
