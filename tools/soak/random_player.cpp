#include "random_player.h"

void random_player::emit(const std::string& event) {
    out_.push_back(std::to_string(frame_) + " " + event);
}

void random_player::press(const std::string& down, const std::string& up) {
    emit(down);
    emit(up);
}

void random_player::release_all() {
    if (held_key_ != 0) emit("key_up " + std::to_string(held_key_));
    if (held_axis_ != 0) emit("joy_axis 1 0");
    if (finger_held_) emit("touch_up 0");
    held_key_ = held_axis_ = 0;
    finger_held_ = false;
    steer_left_ = 0;
}

void random_player::fire() {
    switch (roll(4)) {
        case 0:
            press("key_down 162", "key_up 162");
            break;
        case 1:
            press("mouse_down 1", "mouse_up 1");
            break;
        case 2:
            press("mouse_down 2", "mouse_up 2");
            break;
        default:
            press("joy_down 0", "joy_up 0");
            break;
    }
}

std::vector<std::string> random_player::act(int frame, const trace_view& seen) {
    frame_ = frame;
    out_.clear();
    intent_ = intent::none;
    const int state = seen.integer("state");
    if (state != last_state_) {
        // A new screen: the player takes a moment, and often still holds the stick.
        wait_ = 5 + roll(state == screen::paused ? 300 : 50);
        if (chance(2)) release_all();
        if (state == screen::tally) leave_at_ = 251 + roll(chance(5) ? 1500 : 150);
        last_state_ = state;
    }
    switch (state) {
        case screen::intro:
            if (--wait_ == 0) press("key_down 32", "key_up 32");
            break;
        case screen::title:
            on_title();
            break;
        case screen::play:
            on_play();
            break;
        case screen::paused:
            on_pause();
            break;
        case screen::tally:
            on_tally(seen.integer("tally_tmr"));
            break;
        default:
            break;
    }
    return out_;
}

void random_player::on_title() {
    if (--wait_ > 0) return;
    wait_ = 5 + roll(40);
    if (finishing_) {
        if (!closed_) emit("close");
        closed_ = true;
        return;
    }
    if (chance(4)) {
        // One of the options: 3D, scan lines, effects or music volume.
        emit("mouse_move 320 " + std::to_string(260 + 40 * roll(4)));
        roll(2) ? press("mouse_down 1", "mouse_up 1") : press("joy_down 0", "joy_up 0");
        return;
    }
    // Start Game. A pushed stick would steer the pointer off it, so let go first.
    release_all();
    emit("mouse_move 320 220");
    roll(2) ? press("mouse_down 1", "mouse_up 1") : press("joy_down 0", "joy_up 0");
    intent_ = intent::start;
}

void random_player::on_play() {
    if (--steer_left_ <= 0) {
        release_all();
        steer_left_ = 5 + roll(60);
        const int move = roll(3);  // 0 none, 1 up, 2 down
        const int way = roll(3);   // keys, the stick, or a finger anywhere on the screen
        if (move != 0 && way == 0) {
            held_key_ = move == 1 ? 38 : 40;
            emit("key_down " + std::to_string(held_key_));
        } else if (move != 0 && way == 1) {
            held_axis_ = move == 1 ? -1 : 1;
            emit(std::string("joy_axis 1 ") + (held_axis_ < 0 ? "-1.0" : "1.0"));
        } else if (move != 0) {
            finger_held_ = true;
            emit("touch_down 0 " + std::to_string(roll(640)) + " " + std::to_string(roll(480)));
        }
    }
    if (chance(1500)) {
        roll(2) ? press("key_down 32", "key_up 32") : press("joy_down 1", "joy_up 1");
    } else if (chance(2500)) {
        emit("suspend " + std::to_string(roll(40)));
    } else if (chance(300)) {
        fire();  // round play has no use for it
    }
}

void random_player::on_pause() {
    if (--wait_ > 0) return;
    wait_ = 5 + roll(100);
    if (chance(20)) {
        press("key_down 27", "key_up 27");  // gives the round up, back to the title
        return;
    }
    switch (roll(3)) {
        case 0:
            press("key_down 32", "key_up 32");
            break;
        case 1:
            press("joy_down 1", "joy_up 1");
            break;
        default:
            emit("mouse_move 320 220");  // "Resume Game"
            press("mouse_down 1", "mouse_up 1");
            break;
    }
}

void random_player::on_tally(int tally_tmr) {
    // Frames up to 250 belong to the page: a press there must be forgotten. A press seen
    // after frame 249 already counts on frame 251.
    if (tally_tmr < 249) {
        if (chance(80)) fire();
        return;
    }
    if (tally_tmr >= leave_at_) {
        fire();
        intent_ = intent::leave_tally;
        leave_at_ = tally_tmr + 20;
    }
}
