// Glimmerfrost 3D: the real platform (SDL window, events, clock), then the game.
#include "game/game.h"
#include "media/backend/sdl/sdl_platform.h"
#include "media/files.h"
#include "media/log.h"
#include "media/platform.h"

// Where an install puts the game's folder, seen from the executable's folder.
#ifndef GF_INSTALLED_GAME_DIR
#define GF_INSTALLED_GAME_DIR ""
#endif

void register_game_assets();

int main() {
    media::install_platform(std::make_unique<media::backend::sdl_platform>());
    media::set_game_dir(media::find_game_dir(media::executable_dir(), GF_INSTALLED_GAME_DIR));
    media::set_save_dir(media::choose_save_dir(media::game_dir()));
    media::keep_log_file(media::save_dir());
    game_options options;
    options.register_files = register_game_assets;
    run_game(options);
}
