#include "storage/hiscore_file.h"

#include "game/globals.h"
#include "storage/saved_int.h"

namespace {
const char* const hiscore_path = "data\\hiscore.dat";
}

int hiscore_file(int save) {
    if (save == 0) {
        player->best_sc = load_saved_int(hiscore_path).value_or(0);
    } else {
        save_saved_int(hiscore_path, player->best_sc, "best score");
    }
    return 0;
}
