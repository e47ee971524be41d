// Keyboard, mouse, touch and game pad state, fed by the platform's events. Every query first
// takes in the pending events. Key codes are Windows virtual-key numbers (27 Escape,
// 32 Space, 38 up, 40 down, 162 left Control, ...). Mouse buttons: 1 left, 2 right,
// 3 middle; 0 always reads 0. Game pad port 0 is the only port read.
#pragma once

namespace media {

int key_hit(int code);   // presses since the last key_hit of it or flush; resets the count
int key_down(int code);  // 1 while held
void flush_keys();
int mouse_x();
int mouse_y();
int mouse_hit(int button);
int mouse_down(int button);
void flush_mouse();
// A finger on the screen: true while one is held, with where the newest of them is.
// Each finger that touches also acts as the left mouse button at that point, so a tap
// is a click.
bool touch_held(int& x, int& y);
float joy_x(int port);  // -1.0 .. 1.0; 0.0 with no pad at the port
float joy_y(int port);
int joy_hit(int button, int port);
int joy_down(int button, int port);
int count_joysticks();

// Takes in every pending platform event (called by the queries above).
void pump_events();
// Sets the pointer position in the input state (used by move_mouse).
void set_mouse_position(int x, int y);
// Clears all input state, e.g. between tests.
void reset_input();

// The application's state, fed by the same events (for app_suspended and app_terminate).
// Neither pumps: call pump_events first.
bool focus_is_lost();       // between a focus_lost event and the next focus_gained
bool take_close_request();  // true once per close request (requests in one pump count once)
bool close_is_pending();    // a close request not yet taken
// True once per request of the platform to write the saved files now (a browser tab being
// hidden, which may be closed without a shutdown).
bool take_save_request();
// `save` writes the saved files at once when the system ends the session under the game
// (Windows kills a program soon after it says so, before its next pass).
void save_when_session_ends(void (*save)());

}  // namespace media
