// SDL keys to the game's key codes (Windows virtual-key numbers).
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "media/backend/sdl/sdl_keymap.h"

namespace {

using media::backend::virtual_key;

TEST(unit_keymap, the_games_keys_and_a_sample_of_the_rest) {
    const std::pair<SDL_Scancode, int> by_place[] = {
        {SDL_SCANCODE_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, 32},
        {SDL_SCANCODE_UP, 38},
        {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_LCTRL, 162},
        {SDL_SCANCODE_RCTRL, 163},
        {SDL_SCANCODE_LSHIFT, 160},
        {SDL_SCANCODE_RSHIFT, 161},
        {SDL_SCANCODE_LALT, 164},
        {SDL_SCANCODE_RALT, 165},
        {SDL_SCANCODE_LGUI, 91},
        {SDL_SCANCODE_A, 65},
        {SDL_SCANCODE_Z, 90},
        {SDL_SCANCODE_0, 48},
        {SDL_SCANCODE_9, 57},
        {SDL_SCANCODE_F1, 112},
        {SDL_SCANCODE_F24, 135},
        {SDL_SCANCODE_KP_0, 96},
        {SDL_SCANCODE_KP_9, 105},
        {SDL_SCANCODE_KP_DIVIDE, 111},
        {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, 13},
        {SDL_SCANCODE_BACKSPACE, 8},
        {SDL_SCANCODE_PAGEUP, 33},
        {SDL_SCANCODE_HOME, 36},
        {SDL_SCANCODE_PRINTSCREEN, 44},
        {SDL_SCANCODE_PAUSE, 19},
        {SDL_SCANCODE_NUMLOCKCLEAR, 144},
        {SDL_SCANCODE_APPLICATION, 93},
        {SDL_SCANCODE_SEMICOLON, 186},
        {SDL_SCANCODE_GRAVE, 192},
        {SDL_SCANCODE_APOSTROPHE, 222},
        {SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& [sc, vk] : by_place) {
        EXPECT_EQ(vk, virtual_key(sc, SDLK_UNKNOWN))
            << SDL_GetScancodeName(sc) << ": expected " << vk;
    }
    // Letters follow the layout: on a French board the key in the Q place types "a"; a
    // layout without Latin letters keeps the place.
    EXPECT_EQ(65, virtual_key(SDL_SCANCODE_Q, SDLK_a));
    EXPECT_EQ(77, virtual_key(SDL_SCANCODE_SEMICOLON, SDLK_m));
    EXPECT_EQ(70, virtual_key(SDL_SCANCODE_F, 0x430));
}

TEST(unit_keymap, every_key_of_a_full_board_has_its_own_number) {
    std::vector<int> board;
    for (int sc = SDL_SCANCODE_A; sc <= SDL_SCANCODE_KP_PERIOD; ++sc) board.push_back(sc);
    for (int sc = SDL_SCANCODE_LCTRL; sc <= SDL_SCANCODE_RGUI; ++sc) board.push_back(sc);
    for (int sc = SDL_SCANCODE_NONUSBACKSLASH; sc <= SDL_SCANCODE_APPLICATION; ++sc)
        board.push_back(sc);
    for (int sc = SDL_SCANCODE_F13; sc <= SDL_SCANCODE_F24; ++sc) board.push_back(sc);

    std::map<int, int> seen;
    for (const int s : board) {
        const auto sc = static_cast<SDL_Scancode>(s);
        const int vk = virtual_key(sc, SDLK_UNKNOWN);
        EXPECT_TRUE(vk > 0 && vk < 256) << SDL_GetScancodeName(sc) << " gives " << vk;
        // The two Enter keys are one to the game; the ISO key by Enter is the backslash.
        if (sc == SDL_SCANCODE_KP_ENTER || sc == SDL_SCANCODE_NONUSHASH) continue;
        const auto [it, fresh] = seen.emplace(vk, s);
        EXPECT_TRUE(fresh) << SDL_GetScancodeName(sc) << " shares " << vk << " with "
                           << SDL_GetScancodeName(static_cast<SDL_Scancode>(it->second));
    }
    for (const int sideless : {16, 17, 18}) EXPECT_EQ(0u, seen.count(sideless)) << sideless;
}

}  // namespace
