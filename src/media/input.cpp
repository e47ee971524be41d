#include "media/input.h"

#include <array>

#include "media/platform.h"

namespace media {

namespace {

constexpr int key_count = 256;
constexpr int mouse_buttons = 4;  // 0 is never set
constexpr int pad_buttons = 17;
constexpr int finger_count = 10;

// A down flag and a press counter; a down while already down (auto-repeat) is no press.
struct button {
    bool down = false;
    int hits = 0;

    void press() {
        if (down) return;
        down = true;
        ++hits;
    }
    int take_hits() {
        const int n = hits;
        hits = 0;
        return n;
    }
};

struct finger {
    bool held = false;
    int x = 0, y = 0;
    unsigned order = 0;  // when it touched: of the fingers held, the newest steers
};

struct input_state {
    std::array<button, key_count> keys;
    std::array<button, mouse_buttons> mouse;
    int mouse_x = 0, mouse_y = 0;
    std::array<button, pad_buttons> pad;
    float pad_x = 0.0f, pad_y = 0.0f;
    std::array<finger, finger_count> fingers;
    unsigned touches = 0;
    bool focus_lost = false;
    bool close_requested = false;
    bool save_requested = false;
};

input_state g_in;

template <std::size_t N>
button* find(std::array<button, N>& set, int index) {
    return (index >= 0 && index < static_cast<int>(N)) ? &set[index] : nullptr;
}

// Buttons 1 left, 2 right, 3 middle; 0 and anything else has no state.
button* mouse_button(int n) {
    return (n >= 1 && n < mouse_buttons) ? &g_in.mouse[n] : nullptr;
}

void clear_buttons(auto& set) {
    for (button& b : set) b = button{};
}

finger* newest_finger() {
    finger* newest = nullptr;
    for (finger& f : g_in.fingers) {
        if (f.held && (newest == nullptr || f.order > newest->order)) newest = &f;
    }
    return newest;
}

// A finger is also the left mouse button at its point: it moves the pointer, it presses,
// and the button is let go with the last finger.
void apply_touch(const platform_event& ev) {
    using k = platform_event;
    if (ev.code < 0 || ev.code >= finger_count) return;
    finger& f = g_in.fingers[static_cast<std::size_t>(ev.code)];
    const int x = static_cast<int>(ev.x), y = static_cast<int>(ev.y);
    if (ev.kind == k::touch_down) {
        f = {true, x, y, ++g_in.touches};
        set_mouse_position(x, y);
        g_in.mouse[1].press();
    } else if (ev.kind == k::touch_move && f.held) {
        f.x = x;
        f.y = y;
        if (newest_finger() == &f) set_mouse_position(x, y);
    } else if (ev.kind == k::touch_up && f.held) {
        f.held = false;
        if (newest_finger() == nullptr) g_in.mouse[1].down = false;
    }
}

void apply(const platform_event& ev) {
    using k = platform_event;
    switch (ev.kind) {
        case k::key_down:
            if (button* b = find(g_in.keys, ev.code)) b->press();
            break;
        case k::key_up:
            if (button* b = find(g_in.keys, ev.code)) b->down = false;
            break;
        case k::mouse_move:
            g_in.mouse_x = static_cast<int>(ev.x);
            g_in.mouse_y = static_cast<int>(ev.y);
            break;
        case k::mouse_down:
            if (button* b = mouse_button(ev.code)) b->press();
            break;
        case k::mouse_up:
            if (button* b = mouse_button(ev.code)) b->down = false;
            break;
        case k::joy_axis:
            if (ev.code == 0) g_in.pad_x = ev.value;
            if (ev.code == 1) g_in.pad_y = ev.value;
            break;
        case k::joy_down:
            if (button* b = find(g_in.pad, ev.code)) b->press();
            break;
        case k::joy_up:
            if (button* b = find(g_in.pad, ev.code)) b->down = false;
            break;
        case k::touch_down:
        case k::touch_move:
        case k::touch_up:
            apply_touch(ev);
            break;
        case k::joy_lost:
            // Presses already counted stay counted; nothing is held any more.
            for (button& b : g_in.pad) b.down = false;
            g_in.pad_x = g_in.pad_y = 0.0f;
            break;
        case k::focus_lost:
        case k::focus_gained:
            // A key held while switching away must not read as held afterwards.
            g_in.focus_lost = ev.kind == k::focus_lost;
            clear_buttons(g_in.keys);
            clear_buttons(g_in.mouse);
            for (finger& f : g_in.fingers) f.held = false;
            break;
        case k::close_request:
            g_in.close_requested = true;
            break;
        case k::save_request:
            g_in.save_requested = true;
            break;
    }
}

}  // namespace

void pump_events() {
    platform& p = current_platform();
    platform_event ev;
    while (p.poll_event(ev)) apply(ev);
}

int key_hit(int code) {
    pump_events();
    button* b = find(g_in.keys, code);
    return b ? b->take_hits() : 0;
}

int key_down(int code) {
    pump_events();
    button* b = find(g_in.keys, code);
    return b && b->down ? 1 : 0;
}

void flush_keys() {
    pump_events();
    clear_buttons(g_in.keys);
}

int mouse_x() {
    pump_events();
    return g_in.mouse_x;
}

int mouse_y() {
    pump_events();
    return g_in.mouse_y;
}

int mouse_hit(int button_no) {
    pump_events();
    button* b = mouse_button(button_no);
    return b ? b->take_hits() : 0;
}

int mouse_down(int button_no) {
    pump_events();
    button* b = mouse_button(button_no);
    return b && b->down ? 1 : 0;
}

void flush_mouse() {
    pump_events();
    clear_buttons(g_in.mouse);
}

bool touch_held(int& x, int& y) {
    pump_events();
    const finger* f = newest_finger();
    if (f == nullptr) return false;
    x = f->x;
    y = f->y;
    return true;
}

float joy_x(int port) {
    pump_events();
    return port == 0 ? g_in.pad_x : 0.0f;
}

float joy_y(int port) {
    pump_events();
    return port == 0 ? g_in.pad_y : 0.0f;
}

int joy_hit(int button_no, int port) {
    pump_events();
    button* b = port == 0 ? find(g_in.pad, button_no) : nullptr;
    return b ? b->take_hits() : 0;
}

int joy_down(int button_no, int port) {
    pump_events();
    button* b = port == 0 ? find(g_in.pad, button_no) : nullptr;
    return b && b->down ? 1 : 0;
}

int count_joysticks() {
    return current_platform().count_joysticks();
}

void set_mouse_position(int x, int y) {
    g_in.mouse_x = x;
    g_in.mouse_y = y;
}

void reset_input() {
    g_in = input_state{};
}

bool focus_is_lost() {
    return g_in.focus_lost;
}

bool close_is_pending() {
    return g_in.close_requested;
}

void save_when_session_ends(void (*save)()) {
    set_session_end_save(save);
}

bool take_save_request() {
    const bool requested = g_in.save_requested;
    g_in.save_requested = false;
    return requested;
}

bool take_close_request() {
    const bool requested = g_in.close_requested;
    g_in.close_requested = false;
    return requested;
}

}  // namespace media
