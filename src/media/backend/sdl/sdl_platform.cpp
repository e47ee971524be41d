#include "media/backend/sdl/sdl_platform.h"

#include <SDL2/SDL.h>

#include <array>
#include <deque>

#include "media/backend/sdl/sdl_gamepad.h"
#include "media/backend/sdl/sdl_keymap.h"
#include "media/backend/sdl/window.h"
#include "media/log.h"

namespace media::backend {

namespace {

constexpr Uint32 base_systems = SDL_INIT_EVENTS | SDL_INIT_TIMER;
constexpr Uint32 pad_systems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

// SDL's mouse buttons 1 left, 2 middle, 3 right to the game's 1 left, 2 right, 3 middle.
int game_mouse_button(Uint8 sdl_button) {
    switch (sdl_button) {
        case SDL_BUTTON_LEFT:
            return 1;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_MIDDLE:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

sdl_platform::sdl_platform() {
#ifdef SDL_MAIN_HANDLED
    SDL_SetMainReady();  // the game's own main(), not SDL's, is the entry point
#endif
    // A finger is the game's own kind of event: no mouse clicks made up from it as well.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    // SDL turns SIGINT and SIGTERM into a quit event; a logout then still saves.
    if (SDL_InitSubSystem(base_systems) != 0) log_line("input", SDL_GetError());
    pads_ready_ = SDL_InitSubSystem(pad_systems) == 0;
    if (!pads_ready_) log_line("input", std::string("no game pads: ") + SDL_GetError());
}

sdl_platform::~sdl_platform() {
    pad_.release();
    if (pads_ready_) SDL_QuitSubSystem(pad_systems);
    SDL_QuitSubSystem(base_systems);
}

bool sdl_platform::poll_event(platform_event& ev) {
    SDL_Event e;
    while (pending_.empty()) {
        if (!SDL_PollEvent(&e)) {
            // Once SDL's queue is empty, the stick as it stands (see read_stick).
            if (pads_ready_) pad_.read_stick(pending_);
            if (pending_.empty()) return false;
            break;
        }
        translate(e);
    }
    ev = pending_.front();
    pending_.pop_front();
    return true;
}

// Takes the event it waited for, so that the next poll drains the queue as usual.
void sdl_platform::wait_event(int ms) {
    SDL_Event e;
    if (pending_.empty() && SDL_WaitEventTimeout(&e, ms)) translate(e);
}

int sdl_platform::millisecs() {
    return static_cast<int>(SDL_GetTicks());
}

void sdl_platform::sleep_ms(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

int sdl_platform::count_joysticks() {
    if (!pads_ready_) return 0;
    pad_.open_first(pending_);
    return SDL_NumJoysticks();
}

void sdl_platform::warp_mouse(int x, int y) {
    window_warp_pointer(x, y);
}

void sdl_platform::push(platform_event::kind_t kind, int code, float x, float y) {
    platform_event ev;
    ev.kind = kind;
    ev.code = code;
    ev.x = x;
    ev.y = y;
    pending_.push_back(ev);
}

void sdl_platform::translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translate_key(e.key, e.type == SDL_KEYDOWN);
            break;
        case SDL_MOUSEMOTION: {
            if (e.motion.which == SDL_TOUCH_MOUSEID) break;
            int sx = 0, sy = 0;  // window coordinates to the 640 x 480 screen
            window_to_screen(e.motion.x, e.motion.y, sx, sy);
            push(platform_event::mouse_move, 0, static_cast<float>(sx), static_cast<float>(sy));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // The position comes with the motion events that always precede a click.
            if (e.button.which == SDL_TOUCH_MOUSEID) break;
            if (const int b = game_mouse_button(e.button.button)) {
                push(e.type == SDL_MOUSEBUTTONDOWN ? platform_event::mouse_down
                                                   : platform_event::mouse_up,
                     b);
            }
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            translate_finger(e.tfinger, e.type);
            break;
        case SDL_WINDOWEVENT:
            translate_window(e.window);
            break;
        case SDL_QUIT:
            push(platform_event::close_request);
            break;
        default:
            if (pads_ready_) pad_.handle(e, pending_);
            break;
    }
}

void sdl_platform::translate_key(const SDL_KeyboardEvent& k, bool down) {
    if (k.repeat) return;  // auto-repeat is never a new press
    const SDL_Scancode sc = k.keysym.scancode;
    const bool valid = sc > SDL_SCANCODE_UNKNOWN && sc < SDL_NUM_SCANCODES;
    const bool enter = sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER;
    if (down && enter && (k.keysym.mod & KMOD_ALT)) {
        window_toggle_fullscreen();
        swallowed_[sc] = true;  // the game sees neither this Enter nor its release
        return;
    }
    if (!down && valid && swallowed_[sc]) {
        swallowed_[sc] = false;
        return;
    }
    if (const int vk = virtual_key(sc, k.keysym.sym)) {
        push(down ? platform_event::key_down : platform_event::key_up, vk);
    }
}

// Fingers on the screen itself; a touch pad's fingers move the mouse instead. (SDL looks
// touch devices up through its video part, and fails without it.)
void sdl_platform::translate_finger(const SDL_TouchFingerEvent& f, Uint32 type) {
    const SDL_TouchDeviceType device = SDL_WasInit(SDL_INIT_VIDEO) != 0
                                           ? SDL_GetTouchDeviceType(f.touchId)
                                           : SDL_TOUCH_DEVICE_DIRECT;
    if (device == SDL_TOUCH_DEVICE_INDIRECT_ABSOLUTE ||
        device == SDL_TOUCH_DEVICE_INDIRECT_RELATIVE) {
        return;
    }
    int n = 0;
    while (n < finger_slots && !(finger_held_[n] && fingers_[n] == f.fingerId)) ++n;
    if (type == SDL_FINGERDOWN && n == finger_slots) {
        n = 0;
        while (n < finger_slots && finger_held_[n]) ++n;
        if (n == finger_slots) return;  // an eleventh finger is not told apart
        finger_held_[n] = true;
        fingers_[n] = f.fingerId;
    }
    if (n == finger_slots) return;
    int sx = 0, sy = 0;
    window_fraction_to_screen(f.x, f.y, sx, sy);
    const float x = static_cast<float>(sx), y = static_cast<float>(sy);
    if (type == SDL_FINGERDOWN) {
        push(platform_event::touch_down, n, x, y);
    } else if (type == SDL_FINGERMOTION) {
        push(platform_event::touch_move, n, x, y);
    } else {
        finger_held_[n] = false;
        push(platform_event::touch_up, n);
    }
}

void sdl_platform::translate_window(const SDL_WindowEvent& w) {
    switch (w.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
            set_away(minimised_, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            set_away(false, false);  // a window with the focus is not minimised
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            set_away(true, unfocused_);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            set_away(false, unfocused_);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            // With one window SDL also raises SDL_QUIT; both arrive in one pump and the
            // game reads them as one request.
            push(platform_event::close_request);
            break;
        default:
            break;
    }
}

// The game is away while minimised or without the focus; it hears only the changes.
void sdl_platform::set_away(bool minimised, bool unfocused) {
    const bool was_away = minimised_ || unfocused_;
    minimised_ = minimised;
    unfocused_ = unfocused;
    const bool away = minimised_ || unfocused_;
    if (away != was_away) push(away ? platform_event::focus_lost : platform_event::focus_gained);
}

}  // namespace media::backend
