// The game's rules as the trace shows them, checked on every presented frame: values in
// their ranges, the clock moving at the frame rate, and no screen that outstays its time.
#pragma once

#include <string>
#include <vector>

#include "random_player.h"
#include "trace_view.h"

class rule_check {
  public:
    // `asked` is what the player did after the previous frame.
    void check(const trace_view& now, random_player::intent asked);

    int breaks() const { return breaks_; }
    const std::vector<std::string>& first_breaks() const { return first_; }
    int max_stars() const { return max_stars_; }
    int min_level() const { return min_level_; }
    int best() const { return best_; }

  private:
    void fail(int frame, const std::string& why);

    int breaks_ = 0;
    std::vector<std::string> first_;  // the first few, for the report
    bool started_ = false;
    int frame_ = 0, ms_ = 0, state_ = 0, tally_tmr_ = 0, best_ = 0;
    int screen_frames_ = 0;  // frames on the current screen (a round: its frames in play)
    int pause_frames_ = 0;
    int max_stars_ = 0, min_level_ = 0;
};
