// A platform for tests: events pushed by the test, and a virtual clock that moves only
// when the code under test sleeps (or when the test advances it).
#pragma once

#include <deque>

#include "media/platform.h"

namespace test_support {

class test_platform : public media::platform {
  public:
    std::deque<media::platform_event> events;
    int clock_ms = 0;
    int suspend_queries = 0;
    int presented = 0;
    int joysticks = 0;

    bool poll_event(media::platform_event& ev) override {
        if (events.empty()) return false;
        ev = events.front();
        events.pop_front();
        return true;
    }
    void wait_event(int) override {}
    void suspend_queried() override { ++suspend_queries; }
    int millisecs() override { return clock_ms; }
    void sleep_ms(int ms) override {
        if (ms > 0) clock_ms += ms;
    }
    bool may_probe_retrace() override { return false; }
    void frame_presented(int frame) override { presented = frame; }
    int count_joysticks() override { return joysticks; }

    void push(media::platform_event::kind_t kind, int code = 0, float x = 0, float y = 0,
              float value = 0) {
        media::platform_event ev;
        ev.kind = kind;
        ev.code = code;
        ev.x = x;
        ev.y = y;
        ev.value = value;
        events.push_back(ev);
    }
};

// Installs a fresh test platform and returns it (owned by the media layer).
inline test_platform& install_test_platform() {
    auto p = std::make_unique<test_platform>();
    test_platform& ref = *p;
    media::install_platform(std::move(p));
    return ref;
}

}  // namespace test_support
