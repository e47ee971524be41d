// The platform seam: the one place the media services get their events and their time.
// One is installed before the game starts:
// - the desktop game: backend::sdl_platform, SDL's events and the real clock;
// - the runner, the soak and the tests: a scripted platform, its events released frame by
//   frame and a virtual clock that moves only when the game sleeps;
// - the browser build: backend::web_platform, SDL's events in the page and the real clock,
//   with a sleep that yields to the page and saves that it makes last.
// Everything else the game needs of the system (the window and GL context, audio output,
// files) sits in backend/ behind the media headers, the same on every platform.
// All calls come from the game's one thread.
#pragma once

#include <memory>
#include <string>

namespace media {

// One input or window event, already in the game's terms: key codes are virtual-key
// numbers, pointer and finger positions are pixels of the 640 x 480 screen, pad buttons
// and fingers count from 0.
struct platform_event {
    enum kind_t {
        key_down,    // code
        key_up,      // code
        mouse_move,  // x, y
        mouse_down,  // code: 1 left, 2 right, 3 middle
        mouse_up,    // code
        joy_axis,    // code: 0 horizontal, 1 vertical; value -1..1
        joy_down,    // code: button
        joy_up,      // code: button
        joy_lost,    // the pad at port 0 went away: centred, no buttons
        touch_down,  // code: finger, from 0; x, y
        touch_move,  // code, x, y
        touch_up,    // code
        focus_lost,
        focus_gained,
        close_request,
        save_request,  // write the saved files now: the platform may end without a shutdown
    };
    kind_t kind = key_down;
    int code = 0;
    float x = 0.0f, y = 0.0f;
    float value = 0.0f;
};

class platform {
  public:
    virtual ~platform() = default;

    // Next pending event; false when none is waiting.
    virtual bool poll_event(platform_event& ev) = 0;
    // Waits up to `ms` for an event (used while suspended, so it does not spin).
    virtual void wait_event(int ms) = 0;
    // The game asked whether it is suspended (the runner counts these).
    virtual void suspend_queried() {}

    // Milliseconds from an arbitrary start; used for pacing and the random seed only.
    virtual int millisecs() = 0;
    // The only place the game waits (frame pacing, the shutdown pause).
    virtual void sleep_ms(int ms) = 0;
    // The wait of a paced frame, before it is presented (just after it goes up, where it
    // is drawn straight into the window): `ms` is what the clock asks, 0 or less when the
    // frame is due already. A platform that shows frames on its own beat (a browser page)
    // waits for that beat instead.
    virtual void wait_for_frame(int ms) {
        if (ms > 0) sleep_ms(ms);
    }

    // Whether open_graphics may look for a 60 Hz retrace by timing presents.
    virtual bool may_probe_retrace() = 0;
    // Frame `frame` (from 1) was just presented; the back buffer still holds it. (A page's
    // canvas may not, once a wait has let the page show it: the runner page never waits.)
    virtual void frame_presented(int frame) { (void)frame; }

    virtual int count_joysticks() { return 0; }
    // Moves the system pointer to a point of the 640 x 480 screen.
    virtual void warp_mouse(int x, int y) { (void)x, (void)y; }
    // A saved file reached its folder. A platform whose files live in memory (a browser
    // page) makes them last here.
    virtual void file_saved(const std::string& path) { (void)path; }
};

void install_platform(std::unique_ptr<platform> p);
platform& current_platform();
// Tells the installed platform, if any, that a save reached its folder.
void note_file_saved(const std::string& path);
// What writes the saved files at once, for a platform that may end the process before the
// game's next pass (a Windows session ending), and the platform's call of it.
void set_session_end_save(void (*save)());
void session_ending();

}  // namespace media
