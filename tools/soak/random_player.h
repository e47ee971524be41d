// A player who presses at random but plays on: skips the intro, starts games, steers,
// pauses and resumes, looks away, fires too early on the tally and then leaves it. It
// sees each presented frame through its trace line and answers with runner script lines
// for the next pass, so its whole game can be replayed by glimmerfrost-replay.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "trace_view.h"

class random_player {
  public:
    // What the last answer was meant to do, for the rules to hold the game to it.
    enum class intent { none, start, leave_tally };

    explicit random_player(std::uint32_t seed) : rng_(seed) {}

    // Script lines tagged `frame` for what the player does after seeing it.
    std::vector<std::string> act(int frame, const trace_view& seen);
    // The player has played enough: it closes the game at the next title.
    void finish() { finishing_ = true; }
    intent last_intent() const { return intent_; }

  private:
    int roll(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    bool chance(int one_in) { return roll(one_in) == 0; }
    void emit(const std::string& event);
    void press(const std::string& down, const std::string& up);
    void release_all();
    void fire();  // Control, either mouse button or pad button 0
    void on_title();
    void on_play();
    void on_pause();
    void on_tally(int tally_tmr);

    std::mt19937 rng_;
    int frame_ = 0;
    std::vector<std::string> out_;
    int last_state_ = -1;
    int wait_ = 0;        // frames before the next move on this screen
    int steer_left_ = 0;  // frames the current steering lasts
    int held_key_ = 0;    // 38 or 40 while an arrow is held
    int held_axis_ = 0;   // -1 or 1 while the pad's stick is pushed
    bool finger_held_ = false;
    int leave_at_ = 0;  // tally frame from which the player fires to leave
    intent intent_ = intent::none;
    bool finishing_ = false;
    bool closed_ = false;
};
