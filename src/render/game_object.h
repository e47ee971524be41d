// The common base of the game's objects, the stereo renderer among them. Objects are shared
// (std::shared_ptr) and live while anything refers to them; every field starts at zero.
#pragma once

struct game_object {
    game_object() = default;
    game_object(const game_object&) = default;
    game_object& operator=(const game_object&) = default;
    virtual ~game_object() = default;
};
