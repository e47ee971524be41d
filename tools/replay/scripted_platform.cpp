#include "scripted_platform.h"

void scripted_platform::add_events(const std::vector<script_event>& events) {
    pending_.insert(pending_.end(), events.begin(), events.end());
}

bool scripted_platform::poll_event(media::platform_event& ev) {
    if (focus_back_due_) {
        focus_back_due_ = false;
        ev = {};
        ev.kind = media::platform_event::focus_gained;
        return true;
    }
    if (pending_.empty() || pending_.front().frame > presented_) return false;
    const script_event se = pending_.front();
    pending_.pop_front();
    if (se.is_suspend) asks_left_ = se.suspend_asks;
    ev = se.event;
    return true;
}

void scripted_platform::suspend_queried() {
    if (asks_left_ < 0) return;
    if (asks_left_ == 0) {
        asks_left_ = -1;
        focus_back_due_ = true;
        return;
    }
    --asks_left_;
}

void scripted_platform::sleep_ms(int ms) {
    if (ms > 0) clock_ += ms;
}
