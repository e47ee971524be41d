// The runner's platform: script events released frame by frame, a virtual clock that moves
// only when the game sleeps, and, at each presented frame, the trace line, the screenshots
// asked for and the stop after --frames. A stop signal arrives as the system's close request.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "scripted_platform.h"

struct replay_settings {
    std::vector<script_event> script;
    int clock_start = 0;
    int stop_after = -1;  // frames; -1 runs until the game ends
    std::FILE* trace = nullptr;
    std::string trace_name;            // for messages
    std::map<int, std::string> shots;  // frame -> PNG path
};

class replay_platform : public scripted_platform {
  public:
    explicit replay_platform(replay_settings settings);
    ~replay_platform() override;

    bool poll_event(media::platform_event& ev) override;
    void frame_presented(int frame) override;

    // The run is over: closes the trace and says what it could not deliver (a trace that
    // failed to write, screenshots of frames never presented). The exit status: 0 or 1.
    int finish_run();

  private:
    [[noreturn]] void fail(const std::string& why);
    std::string trace_error() const;

    replay_settings settings_;
};
