// Port 0's game pad on SDL: the first pad found, or the first one plugged in while none is
// open. Its events come out as the game's pad events (platform.h).
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <deque>

#include "media/platform.h"

namespace media::backend {

// A raw stick position as the game reads it: -32767 and below give -1.0 and 32767 gives +1.0
// exactly, the full pushes that the game's steering and menus look for.
float pad_axis_value(int raw);
// The game's buttons held (bit n = button n) for the recognised-controller buttons held
// (bit n = SDL_GameControllerButton n). Start also counts as button 1, the pause button.
std::uint32_t controller_game_buttons(std::uint32_t controller_buttons);

class pad_port {
  public:
    pad_port() = default;
    ~pad_port() { release(); }
    pad_port(const pad_port&) = delete;
    pad_port& operator=(const pad_port&) = delete;

    // Opens the first pad present when none is open.
    void open_first(std::deque<platform_event>& out);
    // Takes in one SDL event; pad events for the game go to `out`.
    void handle(const SDL_Event& e, std::deque<platform_event>& out);
    // Reads the stick as it is now. SDL keeps a stick's first report after opening as its
    // resting place and sends no event for it, and a browser's pads report nothing at
    // opening: without this, a first push and its release would go unseen.
    void read_stick(std::deque<platform_event>& out);
    // Closes the pad without telling the game (at shutdown).
    void release();

  private:
    float stick_axis(int axis) const;
    void open(int device_index, std::deque<platform_event>& out);
    void send_changes(std::deque<platform_event>& out);

    SDL_GameController* controller_ = nullptr;  // set when SDL knows the pad's layout
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;

    float stick_[2] = {0.0f, 0.0f};
    int dpad_[2] = {0, 0};    // -1, 0, +1 while the D-pad or hat is pushed
    std::uint32_t held_ = 0;  // the device's own buttons
    float sent_axis_[2] = {0.0f, 0.0f};
    std::uint32_t sent_buttons_ = 0;
};

}  // namespace media::backend
