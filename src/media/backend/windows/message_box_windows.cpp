// On Windows the box belongs to the game's own process: closing the program, or ending it
// from the task manager, takes the box with it.
#include <SDL.h>

#include "media/backend/message_box.h"
#include "media/backend/sdl/window.h"

namespace media::backend {

void show_error_box(const std::string& title, const std::string& message) {
    if (window_is_headless()) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr);
}

}  // namespace media::backend
