#include "storage/hiscore_file.h"

#include "storage/saved_int.h"

namespace {
const char* const hiscore_path = "data\\hiscore.dat";
}

int load_hiscore() {
    return load_saved_int(hiscore_path).value_or(0);
}

void save_hiscore(int best) {
    save_saved_int(hiscore_path, best, "best score");
}
