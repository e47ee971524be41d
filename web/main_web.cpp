// Glimmerfrost 3D in a browser page: the same game, on the page's platform. The game's
// folder (/game) comes preloaded with the page; saves go to /save, which the page keeps
// in IndexedDB. A page has no shutdown: when the player leaves the game, the page offers
// to play again, and the game starts afresh in the same page.
#include <emscripten.h>

#include "game/game.h"
#include "game/globals.h"
#include "media/assets.h"
#include "media/backend/web/web_platform.h"
#include "media/display.h"
#include "media/files.h"
#include "media/platform.h"
#include "media/sound.h"

void register_game_assets();

namespace {

// Set by the page's "Play again" button.
bool g_play_again = false;

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void gf_play_again() {
    g_play_again = true;
}

int main() {
    media::install_platform(std::make_unique<media::backend::web_platform>());
    media::set_game_dir("/game");
    media::set_save_dir("/save");
    game_options options;
    options.register_files = register_game_assets;
    for (;;) {
        start_up(options);
        do {
            main_loop_pass();
        } while (quit_game == 0);
        shut_down();
        media::close_audio();
        media::close_graphics();
        EM_ASM({
            if (Module.gfGameEnded) Module.gfGameEnded();
        });
        g_play_again = false;
        while (!g_play_again) emscripten_sleep(100);
        reset_assets();
        reset_globals();
    }
}
