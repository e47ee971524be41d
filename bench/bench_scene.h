// The frames the draw benchmark draws, built from pictures made in code.
#pragma once

#include "media/image.h"
#include "media/text.h"

namespace bench {

struct scene_images {
    media::image_ref back, mts1, mts2, grd1, grd2, gift, glow, player, flake;
    media::font_ref font;
};

// Makes every picture (masked like the game's: black is transparent). With `game_shapes`
// the landscape has the game's silhouettes (mountain strips about half sky); without,
// the strips have the shapes the yardstick renderers draw.
scene_images make_images(const char* font_path, bool game_shapes);

// The heaviest frame of round play: background, four landscape strips, 50 gifts with
// their glows, the player, three star bursts, the heads-up display, 100 flakes and the
// scan lines. Stereo draws each stereo item as a pair of eye copies in 2 passes. Returns
// the number of draws the frame stands for, an eye copy of a pass counting as one, as the
// yardstick renderers count them.
int draw_game_frame(const scene_images& im, bool stereo, int frame);

// The same frame as the yardstick renderers draw it (2 gifts on screen, 30 HUD glyphs).
int draw_yardstick_frame(const scene_images& im, bool stereo, int frame);

}  // namespace bench
