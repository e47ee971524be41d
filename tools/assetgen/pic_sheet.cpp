// The sprite sheet the game cuts into its sprite images. Frames sit at fixed
// places; everything outside them is pure black.
#include "pictures.h"

namespace ag {

image8 draw_sheet() {
    image8 sheet(575, 416);
    sheet.blit(draw_flake(), 408, 1);
    for (int i = 0; i < 5; ++i) sheet.blit(draw_player_frame(i), 1, 1 + 83 * i);
    for (int i = 0; i < 8; ++i) sheet.blit(draw_stuff_frame(i), 421 + 19 * i, 1);
    for (int i = 0; i < 3; ++i) sheet.blit(draw_star_frame(i), 408, 24 + 113 * i);
    return sheet;
}

}  // namespace ag
