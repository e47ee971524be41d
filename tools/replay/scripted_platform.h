// The platform of a scripted run, shared by the runner and the soak: script events released
// frame by frame (an event tagged F after the F-th presented frame), a focus loss given back
// after the game has asked a set number of times, and a virtual clock that moves only when
// the game sleeps, so a run is exactly repeatable and never waits.
#pragma once

#include <deque>
#include <vector>

#include "media/platform.h"
#include "script.h"

class scripted_platform : public media::platform {
  public:
    explicit scripted_platform(int clock_start) : clock_(clock_start) {}

    // Queues events behind those already queued; each must be tagged no earlier than them.
    void add_events(const std::vector<script_event>& events);

    bool poll_event(media::platform_event& ev) override;
    void wait_event(int) override {}
    void suspend_queried() override;
    int millisecs() override { return clock_; }
    void sleep_ms(int ms) override;
    bool may_probe_retrace() override { return false; }
    int count_joysticks() override { return 1; }

  protected:
    // Call first from frame_presented: later events become due.
    void set_presented(int frame) { presented_ = frame; }
    int presented() const { return presented_; }
    int clock() const { return clock_; }

  private:
    std::deque<script_event> pending_;
    int presented_ = 0;
    int clock_ = 0;
    int asks_left_ = -1;  // suspend questions until the focus comes back; -1 none
    bool focus_back_due_ = false;
};
