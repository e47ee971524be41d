// The runner's platform: script events released frame by frame, a virtual clock that moves
// only when the game sleeps, and, at each presented frame, the trace line, the screenshots
// asked for and the stop after --frames. A stop signal arrives as the system's close request.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "media/platform.h"
#include "script.h"

struct replay_settings {
    std::vector<script_event> script;
    int clock_start = 0;
    int stop_after = -1;  // frames; -1 runs until the game ends
    std::FILE* trace = nullptr;
    std::string trace_name;            // for messages
    std::map<int, std::string> shots;  // frame -> PNG path
};

class replay_platform : public media::platform {
  public:
    explicit replay_platform(replay_settings settings);
    ~replay_platform() override;

    bool poll_event(media::platform_event& ev) override;
    void wait_event(int) override {}
    void suspend_queried() override;
    int millisecs() override { return clock_; }
    void sleep_ms(int ms) override;
    bool may_probe_retrace() override { return false; }
    void frame_presented(int frame) override;
    int count_joysticks() override { return 1; }

    // The run is over: closes the trace and says what it could not deliver (a trace that
    // failed to write, screenshots of frames never presented). The exit status: 0 or 1.
    int finish_run();

  private:
    [[noreturn]] void fail(const std::string& why);
    std::string trace_error() const;

    replay_settings settings_;
    std::size_t next_ = 0;  // next script event to release
    int presented_ = 0;
    int clock_ = 0;
    int asks_left_ = -1;  // suspend questions until the focus comes back; -1 none
    bool focus_back_due_ = false;
};
