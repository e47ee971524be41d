#include "storage/anaglyph_file.h"

#include <array>

#include "game/globals.h"
#include "storage/saved_int.h"

namespace {
const char* const anaglyph_path = "Data\\anaglyph3d.dat";

struct eye_pair {
    int lr, lg, lb, rr, rg, rb;
};
// Left copy, right copy, for "M\G", "R\G", "R\C", "R\B".
constexpr std::array<eye_pair, 4> eye_pairs = {{
    {140, 4, 40, 4, 100, 20},
    {4, 100, 20, 140, 4, 10},
    {4, 80, 60, 140, 4, 10},
    {4, 20, 140, 140, 4, 20},
}};
}  // namespace

void apply_eye_colours(int mode) {
    if (mode < 1 || mode > 4) return;  // flat drawing keeps the last pair's colours
    const eye_pair& e = eye_pairs[mode - 1];
    draw3d->slc(e.lr, e.lg, e.lb, e.rr, e.rg, e.rb);
}

int anaglyph_file(int action) {
    if (action == 1) {
        if (auto stored = load_saved_int(anaglyph_path)) {
            // A damaged file must not pick a colour pair that does not exist.
            mode_3d = (*stored >= 0 && *stored <= 4) ? *stored : 0;
        }
    } else if (action == 2) {
        save_saved_int(anaglyph_path, mode_3d, "3D setting");
    }
    apply_eye_colours(mode_3d);
    return 0;
}
