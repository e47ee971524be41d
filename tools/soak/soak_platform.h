// The soak's platform: the runner's virtual clock and script semantics, with the random
// player answering each presented frame. On every frame it writes the trace line, checks
// the rules on it, and at each return to the title after a tally it samples resources.
#pragma once

#include <cstdio>
#include <vector>

#include "random_player.h"
#include "resources.h"
#include "rule_check.h"
#include "scripted_platform.h"

struct soak_settings {
    int rounds = 20;
    unsigned seed = 1;
    int clock_start = 1000;
    int frame_limit = 0;          // gives up (and fails) after this many frames
    std::FILE* trace = nullptr;   // optional copy of the trace
    std::FILE* script = nullptr;  // optional copy of the player's input as a runner script
};

struct soak_record {
    int frames = 0;
    int rounds = 0;    // tallies left for the title
    int given_up = 0;  // rounds quit from the pause menu
    int pauses = 0, suspends = 0;
    bool out_of_frames = false;
    resource_sample start;                    // first title frame after the intro
    std::vector<resource_sample> rounds_end;  // first title frame after each tally
    double slowest_frame_ms = 0;              // wall time of the game's longest frame
    int slowest_frame = 0;
};

class soak_platform : public scripted_platform {
  public:
    explicit soak_platform(const soak_settings& settings);

    void frame_presented(int frame) override;

    const soak_record& record() const { return record_; }
    const rule_check& rules() const { return rules_; }

  private:
    void queue(const std::vector<std::string>& lines);

    soak_settings settings_;
    random_player player_;
    rule_check rules_;
    soak_record record_;
    int last_state_ = -1;
    double last_present_s_ = 0;
};
