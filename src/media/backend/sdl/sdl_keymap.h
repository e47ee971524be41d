// SDL keys to the game's key codes: Windows virtual-key numbers for the whole keyboard, with
// left and right Shift, Control and Alt told apart (160..165).
#pragma once

#include <SDL2/SDL_keyboard.h>

namespace media::backend {

// Letters follow the layout (the key that types "a" is 65), as on the game's home system;
// every other key goes by its place on the board. 0 for keys that have no number.
int virtual_key(SDL_Scancode scancode, SDL_Keycode keycode);

}  // namespace media::backend
