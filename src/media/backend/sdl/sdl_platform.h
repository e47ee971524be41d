// The game's platform on SDL2: window, keyboard, mouse, touch and pad events in the game's terms,
// and the real clock. Opens SDL's event, timer, joystick and game controller parts; the
// window (window.h) opens video on its own.
#pragma once

#include <SDL2/SDL.h>

#include <array>
#include <deque>

#include "media/backend/sdl/sdl_gamepad.h"
#include "media/platform.h"

namespace media::backend {

class sdl_platform : public platform {
  public:
    sdl_platform();
    ~sdl_platform() override;
    sdl_platform(const sdl_platform&) = delete;
    sdl_platform& operator=(const sdl_platform&) = delete;

    bool poll_event(platform_event& ev) override;
    void wait_event(int ms) override;
    int millisecs() override;
    void sleep_ms(int ms) override;
    bool may_probe_retrace() override { return true; }
    int count_joysticks() override;
    void warp_mouse(int x, int y) override;

  private:
    void push(platform_event::kind_t kind, int code = 0, float x = 0.0f, float y = 0.0f);
    void translate(const SDL_Event& e);
    void translate_key(const SDL_KeyboardEvent& k, bool down);
    void translate_window(const SDL_WindowEvent& w);
    void translate_finger(const SDL_TouchFingerEvent& f, Uint32 type);
    void set_away(bool minimised, bool unfocused);

    std::deque<platform_event> pending_;
    pad_port pad_;
    bool pads_ready_ = false;
    bool minimised_ = false, unfocused_ = false;
    std::array<bool, SDL_NUM_SCANCODES> swallowed_{};  // Enter keys taken by Alt+Enter
    // SDL's finger ids by the game's finger numbers, 0 to 9.
    static constexpr int finger_slots = 10;
    std::array<SDL_FingerID, finger_slots> fingers_{};
    std::array<bool, finger_slots> finger_held_{};
};

}  // namespace media::backend
