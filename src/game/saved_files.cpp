#include "game/saved_files.h"

#include "game/globals.h"
#include "storage/anaglyph_file.h"
#include "storage/hiscore_file.h"

int anaglyph_file(int action) {
    if (action == 1) {
        mode_3d = load_anaglyph_mode(mode_3d);
    } else if (action == 2) {
        save_anaglyph_mode(mode_3d);
    }
    draw3d->use_pair(mode_3d);
    return 0;
}

void save_both_files() {
    anaglyph_file(2);
    hiscore_file(1);
}

int hiscore_file(int save) {
    if (save == 0) {
        player->best_sc = load_hiscore();
    } else {
        save_hiscore(player->best_sc);
    }
    return 0;
}
