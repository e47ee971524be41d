// The SDL platform without a window: keyboard, mouse, focus and quit events pushed into
// SDL's queue, and game pads attached as SDL virtual devices.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <csignal>

#include "media/backend/sdl/sdl_platform.h"
#include "media/display.h"
#include "media/input.h"

namespace {

class unit_input_sdl : public testing::Test {
  protected:
    void SetUp() override {
        media::install_platform(std::make_unique<media::backend::sdl_platform>());
        media::reset_input();
        media::pump_events();  // whatever SDL had queued before the test
        media::reset_input();
    }
    void TearDown() override {
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) {
            if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
        }
        media::pump_events();
        media::install_platform(nullptr);
    }

    static void key(Uint32 type, SDL_Scancode sc, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = SDL_SCANCODE_TO_KEYCODE(sc);
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    static void window_event(SDL_WindowEventID id) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = id;
        SDL_PushEvent(&e);
    }
    static void mouse_button(Uint32 type, Uint8 button) {
        SDL_Event e{};
        e.type = type;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    static void finger(Uint32 type, SDL_FingerID id, float x, float y) {
        SDL_Event e{};
        e.type = type;
        e.tfinger.fingerId = id;
        e.tfinger.x = x;
        e.tfinger.y = y;
        SDL_PushEvent(&e);
    }
    // Attaches a virtual pad and returns its SDL handle, opened by the platform.
    static SDL_Joystick* attach(SDL_JoystickType type, int axes, int buttons, int hats) {
        const int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
        if (index < 0) return nullptr;
        media::count_joysticks();
        media::pump_events();
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    }
};

TEST_F(unit_input_sdl, keys_ignore_repeats_and_alt_enter_is_not_the_games) {
    key(SDL_KEYDOWN, SDL_SCANCODE_UP);
    key(SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE, 1);
    key(SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE, 1);
    EXPECT_EQ(1, media::key_down(38));
    EXPECT_EQ(1, media::key_hit(38)) << "repeats are no presses";
    key(SDL_KEYUP, SDL_SCANCODE_UP);
    EXPECT_EQ(0, media::key_down(38));

    key(SDL_KEYDOWN, SDL_SCANCODE_LCTRL);
    key(SDL_KEYDOWN, SDL_SCANCODE_RCTRL);
    EXPECT_EQ(1, media::key_hit(162));
    EXPECT_EQ(1, media::key_hit(163));

    key(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
    key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
    key(SDL_KEYUP, SDL_SCANCODE_RETURN, KMOD_LALT);
    EXPECT_EQ(1, media::key_hit(164));
    EXPECT_EQ(0, media::key_hit(13)) << "Alt+Enter toggles the window, it is no Enter";
    key(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
    EXPECT_EQ(1, media::key_hit(13)) << "a plain Enter still is";
}

TEST_F(unit_input_sdl, mouse_buttons_take_the_games_numbers) {
    mouse_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    mouse_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    mouse_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1);
    EXPECT_EQ(1, media::mouse_down(1));
    EXPECT_EQ(1, media::mouse_down(2)) << "SDL's right button is the game's 2";
    EXPECT_EQ(0, media::mouse_down(3));
    mouse_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    mouse_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    EXPECT_EQ(1, media::mouse_down(3)) << "SDL's middle button is the game's 3";
    EXPECT_EQ(0, media::mouse_down(1));
}

TEST_F(unit_input_sdl, fingers_press_where_they_touch_and_the_newest_steers) {
    // Without a window the screen is the whole 640 x 480; SDL gives fractions of it.
    finger(SDL_FINGERDOWN, 7001, 0.5f, 0.46875f);
    int x = 0, y = 0;
    ASSERT_TRUE(media::touch_held(x, y));
    EXPECT_EQ(320, x);
    EXPECT_EQ(225, y);
    EXPECT_EQ(320, media::mouse_x()) << "a finger is also the pointer";
    EXPECT_EQ(1, media::mouse_hit(1)) << "and a click";
    finger(SDL_FINGERDOWN, -5, 0.125f, 0.875f);
    ASSERT_TRUE(media::touch_held(x, y));
    EXPECT_EQ(80, x) << "the newer finger steers";
    EXPECT_EQ(420, y);
    finger(SDL_FINGERUP, -5, 0.125f, 0.875f);
    finger(SDL_FINGERMOTION, 7001, 1.0f, 0.0f);
    ASSERT_TRUE(media::touch_held(x, y));
    EXPECT_EQ(639, x) << "the first again, moved and kept on the screen";
    EXPECT_EQ(0, y);
    EXPECT_EQ(1, media::mouse_down(1));
    finger(SDL_FINGERUP, 7001, 1.0f, 0.0f);
    EXPECT_FALSE(media::touch_held(x, y));
    EXPECT_EQ(0, media::mouse_down(1)) << "let go with the last finger";

    // A click SDL makes up from a touch is not a second click.
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.which = SDL_TOUCH_MOUSEID;
    e.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&e);
    EXPECT_EQ(0, media::mouse_hit(1));
}

TEST_F(unit_input_sdl, focus_minimise_and_quit) {
    key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(1, media::app_suspended());
    EXPECT_EQ(0, media::key_down(32)) << "losing the focus flushes the keys";
    window_event(SDL_WINDOWEVENT_MINIMIZED);
    window_event(SDL_WINDOWEVENT_RESTORED);
    EXPECT_EQ(1, media::app_suspended()) << "restored but still without the focus";
    window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(0, media::app_suspended());
    window_event(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_EQ(1, media::app_suspended()) << "a minimised game is away";
    window_event(SDL_WINDOWEVENT_RESTORED);
    EXPECT_EQ(0, media::app_suspended());

    // The close button raises a window event and, for the last window, a quit: one request.
    window_event(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(1, media::app_terminate());
    EXPECT_EQ(0, media::app_terminate());
    std::raise(SIGTERM);  // a logout: SDL makes it a quit
    EXPECT_EQ(1, media::app_terminate());
    std::raise(SIGINT);
    EXPECT_EQ(1, media::app_terminate());
}

TEST_F(unit_input_sdl, a_recognised_controller_maps_stick_dpad_and_buttons) {
    SDL_Joystick* pad = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                               SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_NE(nullptr, pad) << SDL_GetError();

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    EXPECT_EQ(-1.0f, media::joy_x(0));
    EXPECT_EQ(1.0f, media::joy_y(0));
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32767);
    EXPECT_EQ(-1.0f, media::joy_y(0)) << "a full push up that stops one short is still full";
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    EXPECT_NEAR(0.5f, media::joy_x(0), 1e-4f);

    // The D-pad gives the exact full push, and wins over the stick while pressed.
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    EXPECT_EQ(-1.0f, media::joy_x(0));
    EXPECT_EQ(-1.0f, media::joy_y(0));
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0);
    EXPECT_NEAR(0.5f, media::joy_x(0), 1e-4f) << "released, the stick is read again";

    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(1, media::joy_hit(0, 0)) << "A is button 0";
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 1);
    EXPECT_EQ(1, media::joy_down(1, 0)) << "Start also acts as button 1";
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
    EXPECT_EQ(1, media::joy_hit(1, 0)) << "B with Start held is still one press of button 1";
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 0);
    EXPECT_EQ(1, media::joy_down(1, 0)) << "B still holds button 1";
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 0);
    EXPECT_EQ(0, media::joy_down(1, 0));

    // Unplugged: centred, nothing held.
    SDL_JoystickDetachVirtual(0);
    EXPECT_EQ(0.0f, media::joy_x(0));
    EXPECT_EQ(0.0f, media::joy_y(0));
    EXPECT_EQ(0, media::joy_down(0, 0));
}

TEST_F(unit_input_sdl, a_raw_joystick_uses_its_axes_hat_and_button_numbers) {
    SDL_Joystick* stick = attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1);
    ASSERT_NE(nullptr, stick) << SDL_GetError();
    ASSERT_FALSE(SDL_IsGameController(0)) << "the test needs a pad SDL does not recognise";
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualAxis(stick, 1, -32768);
    EXPECT_EQ(1.0f, media::joy_x(0));
    EXPECT_EQ(-1.0f, media::joy_y(0));
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_LEFTDOWN);
    EXPECT_EQ(-1.0f, media::joy_x(0));
    EXPECT_EQ(1.0f, media::joy_y(0));
    SDL_JoystickSetVirtualButton(stick, 3, 1);
    EXPECT_EQ(1, media::joy_hit(3, 0)) << "buttons keep their numbers";
    EXPECT_EQ(0, media::joy_down(1, 0));
}

TEST_F(unit_input_sdl, a_pad_plugged_in_later_takes_the_empty_port) {
    EXPECT_EQ(0, media::count_joysticks());
    const int first = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2, 0);
    ASSERT_GE(first, 0) << SDL_GetError();
    media::pump_events();
    SDL_Joystick* a = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(first));
    ASSERT_NE(nullptr, a) << "the platform should have opened the new pad";
    SDL_JoystickSetVirtualButton(a, 1, 1);
    EXPECT_EQ(1, media::joy_down(1, 0));

    const int second = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2, 0);
    ASSERT_GE(second, 0);
    media::pump_events();
    EXPECT_EQ(nullptr, SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(second)))
        << "port 0 is taken; the second pad stays closed";
    EXPECT_EQ(2, media::count_joysticks());
}

}  // namespace
