#include "game/game.h"
#include "game/globals.h"
#include "game/saved_files.h"
#include "game/screens.h"
#include "media/clock.h"
#include "media/display.h"
#include "media/input.h"

using namespace media;

void start_up(const game_options& options) {
    if (options.register_files) options.register_files();
    set_app_title("Glimmerfrost 3D");
    open_graphics(640, 480, 32, 60, 2);
    count_joysticks();
    open_audio(options.audio_device);
    set_mask_color(0, 0, 0);
    auto_image_flags(img_masked | img_dynamic);

    draw3d = std::make_shared<qbdraw_tag>();
    player = std::make_shared<player_tag>();
    img_snap = create_image(640, 480, 1);
    auto_mid_handle(1);
    img_flake = create_image(10, 10, 1);
    img_stuff = create_image(18, 20, 8);
    img_player = create_image(404, 82, 5);
    img_star = create_image(112, 112, 3);
    auto_mid_handle(0);

    stars.clear();
    gstuff_tag::new_stuff(1);
    snow_tag::start_storm();
    scenery = std::make_shared<sceenery_tag>();
    sceenery_tag::reset();
    music_chn = alloc_channel();
    hide_mouse();
    seed_random(millisecs());
    load_assets();
    anaglyph_file(1);
    hiscore_file(0);
    // From here on there is something to save, even in the intro.
    save_when_session_ends(save_both_files);

    logo_intro();
    player_tag::reset(0);
    game_state = gs_title;
    move_mouse(320, 220);
}
