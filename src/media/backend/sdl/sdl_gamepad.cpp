#include "media/backend/sdl/sdl_gamepad.h"

namespace media::backend {

float pad_axis_value(int raw) {
    // Many pads, and SDL's reading of a browser's pads, push up or left only to -32767.
    if (raw <= -32767) return -1.0f;
    return static_cast<float>((raw + 32768) * 2.0 / 65535.0 - 1.0);
}

std::uint32_t controller_game_buttons(std::uint32_t controller_buttons) {
    // The numbers such a pad has on the game's home system: A 0, B 1, X 2, Y 3, shoulders
    // 4 and 5, Back 6, Start 7, stick clicks 8 and 9.
    struct source {
        SDL_GameControllerButton from;
        std::uint32_t to;
    };
    static constexpr source map[] = {
        {SDL_CONTROLLER_BUTTON_A, 1u << 0},
        {SDL_CONTROLLER_BUTTON_B, 1u << 1},
        {SDL_CONTROLLER_BUTTON_X, 1u << 2},
        {SDL_CONTROLLER_BUTTON_Y, 1u << 3},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1u << 4},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1u << 5},
        {SDL_CONTROLLER_BUTTON_BACK, 1u << 6},
        {SDL_CONTROLLER_BUTTON_START, (1u << 7) | (1u << 1)},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 1u << 8},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 1u << 9},
    };
    std::uint32_t game = 0;
    for (const source& s : map) {
        if (controller_buttons & (1u << s.from)) game |= s.to;
    }
    return game;
}

namespace {

bool held(std::uint32_t bits, int n) {
    return (bits >> n) & 1u;
}

std::uint32_t with_bit(std::uint32_t bits, int n, bool on) {
    if (n < 0 || n >= 32) return bits;
    return on ? (bits | (1u << n)) : (bits & ~(1u << n));
}

int dpad_axis(bool negative, bool positive) {
    return negative ? -1 : (positive ? 1 : 0);
}

void controller_dpad(std::uint32_t buttons, int (&dpad)[2]) {
    dpad[0] = dpad_axis(held(buttons, SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                        held(buttons, SDL_CONTROLLER_BUTTON_DPAD_RIGHT));
    dpad[1] = dpad_axis(held(buttons, SDL_CONTROLLER_BUTTON_DPAD_UP),
                        held(buttons, SDL_CONTROLLER_BUTTON_DPAD_DOWN));
}

platform_event pad_event(platform_event::kind_t kind, int code, float value = 0.0f) {
    platform_event ev;
    ev.kind = kind;
    ev.code = code;
    ev.value = value;
    return ev;
}

}  // namespace

void pad_port::open_first(std::deque<platform_event>& out) {
    if (joystick_) return;
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n && !joystick_; ++i) open(i, out);
}

void pad_port::open(int device_index, std::deque<platform_event>& out) {
    if (SDL_IsGameController(device_index)) {
        controller_ = SDL_GameControllerOpen(device_index);
        if (controller_) joystick_ = SDL_GameControllerGetJoystick(controller_);
    } else {
        joystick_ = SDL_JoystickOpen(device_index);
    }
    if (!joystick_) {
        controller_ = nullptr;
        return;
    }
    id_ = SDL_JoystickInstanceID(joystick_);

    // A pad may come in with the stick pushed or a button held.
    held_ = 0;
    stick_[0] = stick_axis(0);
    stick_[1] = stick_axis(1);
    if (controller_) {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
            const auto button = static_cast<SDL_GameControllerButton>(b);
            held_ = with_bit(held_, b, SDL_GameControllerGetButton(controller_, button));
        }
        controller_dpad(held_, dpad_);
    } else {
        const Uint8 hat = SDL_JoystickNumHats(joystick_) > 0 ? SDL_JoystickGetHat(joystick_, 0) : 0;
        dpad_[0] = dpad_axis(hat & SDL_HAT_LEFT, hat & SDL_HAT_RIGHT);
        dpad_[1] = dpad_axis(hat & SDL_HAT_UP, hat & SDL_HAT_DOWN);
        const int buttons = SDL_JoystickNumButtons(joystick_);
        for (int b = 0; b < buttons && b < 32; ++b) {
            held_ = with_bit(held_, b, SDL_JoystickGetButton(joystick_, b));
        }
    }
    send_changes(out);
}

float pad_port::stick_axis(int axis) const {
    if (controller_) {
        return pad_axis_value(SDL_GameControllerGetAxis(
            controller_, axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY));
    }
    return SDL_JoystickNumAxes(joystick_) > axis
               ? pad_axis_value(SDL_JoystickGetAxis(joystick_, axis))
               : 0.0f;
}

void pad_port::read_stick(std::deque<platform_event>& out) {
    if (!joystick_) return;
    stick_[0] = stick_axis(0);
    stick_[1] = stick_axis(1);
    send_changes(out);
}

void pad_port::release() {
    if (controller_) {
        SDL_GameControllerClose(controller_);
    } else if (joystick_) {
        SDL_JoystickClose(joystick_);
    }
    controller_ = nullptr;
    joystick_ = nullptr;
    id_ = -1;
    stick_[0] = stick_[1] = 0.0f;
    dpad_[0] = dpad_[1] = 0;
    held_ = 0;
    sent_axis_[0] = sent_axis_[1] = 0.0f;
    sent_buttons_ = 0;
}

void pad_port::handle(const SDL_Event& e, std::deque<platform_event>& out) {
    switch (e.type) {
        case SDL_JOYDEVICEADDED:
            if (!joystick_) open(e.jdevice.which, out);
            return;
        case SDL_JOYDEVICEREMOVED:
            if (joystick_ && e.jdevice.which == id_) {
                release();
                out.push_back(pad_event(platform_event::joy_lost, 0));
                open_first(out);  // another pad still plugged in takes the port
            }
            return;
        case SDL_CONTROLLERAXISMOTION:
            if (!controller_ || e.caxis.which != id_) return;
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                stick_[0] = pad_axis_value(e.caxis.value);
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
                stick_[1] = pad_axis_value(e.caxis.value);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (!controller_ || e.cbutton.which != id_) return;
            held_ = with_bit(held_, e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
            controller_dpad(held_, dpad_);
            break;
        // A recognised controller sends these too; it is read through the events above.
        case SDL_JOYAXISMOTION:
            if (controller_ || e.jaxis.which != id_) return;
            if (e.jaxis.axis < 2) stick_[e.jaxis.axis] = pad_axis_value(e.jaxis.value);
            break;
        case SDL_JOYHATMOTION:
            if (controller_ || e.jhat.which != id_ || e.jhat.hat != 0) return;
            dpad_[0] = dpad_axis(e.jhat.value & SDL_HAT_LEFT, e.jhat.value & SDL_HAT_RIGHT);
            dpad_[1] = dpad_axis(e.jhat.value & SDL_HAT_UP, e.jhat.value & SDL_HAT_DOWN);
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (controller_ || e.jbutton.which != id_) return;
            held_ = with_bit(held_, e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
            break;
        default:
            return;
    }
    send_changes(out);
}

void pad_port::send_changes(std::deque<platform_event>& out) {
    for (int a = 0; a < 2; ++a) {
        // The D-pad wins while it is pushed: exactly the full push the game compares against.
        const float value = dpad_[a] != 0 ? static_cast<float>(dpad_[a]) : stick_[a];
        if (value != sent_axis_[a]) {
            sent_axis_[a] = value;
            out.push_back(pad_event(platform_event::joy_axis, a, value));
        }
    }
    const std::uint32_t buttons = controller_ ? controller_game_buttons(held_) : held_;
    const std::uint32_t changed = buttons ^ sent_buttons_;
    for (int b = 0; b < 32; ++b) {
        if (!held(changed, b)) continue;
        out.push_back(
            pad_event(held(buttons, b) ? platform_event::joy_down : platform_event::joy_up, b));
    }
    sent_buttons_ = buttons;
}

}  // namespace media::backend
