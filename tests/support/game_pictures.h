// The game's pictures loaded as start-up loads them, for tests on the real renderer. The
// game folder has no Data folder, so the sounds are simply missing.
#pragma once

#include "game/globals.h"
#include "media/assets.h"
#include "media/files.h"
#include "media/image.h"
#include "support/gl_screen.h"
#include "support/temp_dir.h"

void register_game_assets();

namespace test_support {

inline void load_game_pictures(const temp_dir& game_dir) {
    open_test_screen();
    media::set_game_dir(game_dir.path().string());
    register_game_assets();
    media::set_mask_color(0, 0, 0);
    media::auto_image_flags(media::img_masked | media::img_dynamic);
    media::auto_mid_handle(1);
    img_flake = media::create_image(10, 10, 1);
    img_stuff = media::create_image(18, 20, 8);
    img_player = media::create_image(404, 82, 5);
    img_star = media::create_image(112, 112, 3);
    media::auto_mid_handle(0);
    load_assets();
}

}  // namespace test_support
