// The game's objects made as start-up makes them, with plain opaque sprites of the real
// sizes, on the offscreen renderer. No sounds, no saved files.
#pragma once

#include "game/globals.h"
#include "media/clock.h"
#include "support/gl_screen.h"

namespace test_support {

inline void make_game_world(int seed = 1) {
    open_test_screen();
    reset_globals();
    media::set_mask_color(0, 0, 0);
    media::auto_image_flags(media::img_masked | media::img_dynamic);
    draw3d = std::make_shared<qbdraw_tag>();
    player = std::make_shared<player_tag>();
    img_snap = media::create_image(640, 480, 1);
    img_flake = solid_sprite(10, 10, 1);
    img_stuff = solid_sprite(18, 20, 8);
    img_player = solid_sprite(404, 82, 5);
    img_star = solid_sprite(112, 112, 3);
    img_back = solid_image(640, 480, 10, 20, 40);
    img_mts1 = img_mts2 = solid_image(640, 256, 60, 70, 90);
    img_grd1 = img_grd2 = solid_image(640, 200, 200, 210, 220);
    music_chn = media::alloc_channel();
    gstuff_tag::new_stuff(1);
    snow_tag::start_storm();
    scenery = std::make_shared<sceenery_tag>();
    sceenery_tag::reset();
    media::seed_random(seed);
    keep_sound_journal(true);
    take_started_effects();
}

}  // namespace test_support
