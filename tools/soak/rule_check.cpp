#include "rule_check.h"

namespace {

// Longest stay on each screen. The player acts within a few dozen frames on the title and
// the pause menu; a round is 60 seconds of clock plus what presents add; the tally leaves
// by itself at frame 6000.
int longest_stay(int state) {
    switch (state) {
        case screen::title:
            return 600;
        case screen::paused:
            return 450;
        case screen::play:
            return 12000;
        case screen::tally:
            return 6001;
        default:
            return 1000;
    }
}

bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

}  // namespace

void rule_check::fail(int frame, const std::string& why) {
    ++breaks_;
    if (first_.size() < 20) first_.push_back("frame " + std::to_string(frame) + ": " + why);
}

void rule_check::check(const trace_view& now, random_player::intent asked) {
    const int f = now.integer("f");
    const int ms = now.integer("ms");
    const int state = now.integer("state");
    auto expect = [&](bool ok, const std::string& why) {
        if (!ok) fail(f, why);
    };

    if (started_) {
        expect(f == frame_ + 1, "frame number jumped from " + std::to_string(frame_));
        expect(ms - ms_ == 16 || ms - ms_ == 17,
               "the clock moved " + std::to_string(ms - ms_) + " ms in one frame");
        expect(state != screen::intro || state_ == screen::intro, "back in the intro");
        if (state_ == screen::tally && state == screen::title) {
            expect(asked == random_player::intent::leave_tally || tally_tmr_ >= 5999,
                   "the tally ended at frame " + std::to_string(tally_tmr_ + 1) +
                       " with no fresh press");
        }
        if (asked == random_player::intent::leave_tally) {
            expect(state == screen::title, "fire after frame 250 did not leave the tally");
        }
        if (asked == random_player::intent::start) {
            expect(state == screen::play, "Start Game did not start a round");
        }
    }
    expect(state == screen::intro || within(state, screen::play, screen::tally),
           "state " + std::to_string(state));
    // A round counts as one stay however often it is paused.
    const bool same_stay = state == state_ || (state_ == screen::paused && state == screen::play) ||
                           (state_ == screen::play && state == screen::paused);
    screen_frames_ = same_stay ? screen_frames_ + (state == screen::paused ? 0 : 1) : 1;
    if (state == screen::paused) {
        pause_frames_ = state_ == screen::paused ? pause_frames_ + 1 : 1;
        expect(pause_frames_ <= longest_stay(screen::paused), "the pause menu does not let go");
    }
    expect(
        state == screen::paused || screen_frames_ <= longest_stay(state),
        "screen " + std::to_string(state) + " for " + std::to_string(screen_frames_) + " frames");

    const int score = now.integer("score"), best = now.integer("best");
    expect(score >= 0, "score " + std::to_string(score));
    expect(best >= score, "best " + std::to_string(best) + " below score " + std::to_string(score));
    expect(best >= best_,
           "best fell from " + std::to_string(best_) + " to " + std::to_string(best));
    const int level = now.integer("level");
    // A bomb takes 10 from the clock at once, so with little time left it reads below 0
    // until the next tick ends the round; it never climbs past 60.
    expect(level <= 60, "level " + std::to_string(level));
    if (state == screen::play && now.integer("phase") == 1) {
        // Steering holds the flyer between 60 and 260 before it moves; a stunned one sinks
        // a pixel more and is put back by the next frame's steering.
        const double py = now.num("py");
        expect(py >= 60.0 && py <= 261.0, "py " + std::to_string(py) + " in active play");
    }
    expect(within(now.integer("phase"), 0, 2), "phase " + std::to_string(now.integer("phase")));
    const int stars = now.integer("stars");
    expect(within(stars, 0, 59), std::to_string(stars) + " live star bursts");
    const int done = now.integer("done"), got = now.integer("got"), total = now.integer("total");
    expect(within(done, 0, 50), "done " + std::to_string(done));
    expect(within(total, 0, 50) && within(got, 0, total),
           "got " + std::to_string(got) + " of " + std::to_string(total));
    expect(within(now.integer("mode_3d"), 0, 4),
           "mode_3d " + std::to_string(now.integer("mode_3d")));
    expect(within(now.integer("retro_fx"), 0, 1), "retro_fx out of range");
    expect(within(now.integer("sound_lvl"), 0, 10) && within(now.integer("music_lvl"), 0, 10),
           "volume step out of range");
    if (state == screen::tally) {
        expect(within(now.integer("tally_tmr"), 0, 6000), "tally_tmr out of range");
    }

    started_ = true;
    frame_ = f;
    ms_ = ms;
    state_ = state;
    tally_tmr_ = now.integer("tally_tmr");
    best_ = best > best_ ? best : best_;
    if (stars > max_stars_) max_stars_ = stars;
    if (level < min_level_) min_level_ = level;
}
