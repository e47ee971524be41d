#include "storage/anaglyph_file.h"

#include "storage/saved_int.h"

namespace {
const char* const anaglyph_path = "Data\\anaglyph3d.dat";
}

int load_anaglyph_mode(int current) {
    const auto stored = load_saved_int(anaglyph_path);
    if (!stored) return current;
    return *stored >= 0 && *stored <= 4 ? *stored : 0;
}

void save_anaglyph_mode(int mode) {
    save_saved_int(anaglyph_path, mode, "3D setting");
}
