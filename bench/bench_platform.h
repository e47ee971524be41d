// The benchmarks' platform: the real clock and no events, since nothing in a benchmark
// waits for input.
#pragma once

#include <chrono>
#include <thread>

#include "media/platform.h"

namespace bench {

class real_clock_platform : public media::platform {
  public:
    bool poll_event(media::platform_event&) override { return false; }
    void wait_event(int) override {}
    int millisecs() override {
        using namespace std::chrono;
        return int(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void sleep_ms(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    bool may_probe_retrace() override { return false; }
};

}  // namespace bench
