#include "soak_platform.h"

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "trace.h"

namespace {

double wall_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string trace_line(int frame, int clock_ms) {
    char* buf = nullptr;
    std::size_t size = 0;
    std::FILE* mem = open_memstream(&buf, &size);
    if (!mem) std::abort();
    write_trace_line(mem, frame, clock_ms);
    std::fclose(mem);
    std::string line(buf, size);
    std::free(buf);
    return line;
}

}  // namespace

soak_platform::soak_platform(const soak_settings& settings)
    : scripted_platform(settings.clock_start), settings_(settings), player_(settings.seed) {
    last_present_s_ = wall_seconds();
}

void soak_platform::queue(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    if (settings_.script) std::fputs(text.c_str(), settings_.script);
    std::istringstream in(text);
    script_error error;
    auto events = parse_script(in, error);
    if (!events) {
        std::fprintf(stderr, "glimmerfrost-soak: the player wrote a bad line: %s\n",
                     error.message.c_str());
        std::abort();
    }
    for (const script_event& e : *events) record_.suspends += e.is_suspend ? 1 : 0;
    // Released exactly as the runner releases a script's events, so the recorded script
    // replays this game.
    add_events(*events);
}

void soak_platform::frame_presented(int frame) {
    set_presented(frame);
    // The game's own time for the frame: from the end of the soak's work on the last one.
    const double took_ms = (wall_seconds() - last_present_s_) * 1000.0;
    if (frame > 1 && took_ms > record_.slowest_frame_ms) {
        record_.slowest_frame_ms = took_ms;
        record_.slowest_frame = frame;
    }
    struct stamp {
        double& at;
        ~stamp() { at = wall_seconds(); }
    } done{last_present_s_};

    const trace_view seen{trace_line(frame, clock())};
    if (settings_.trace) std::fputs(seen.line.c_str(), settings_.trace);
    rules_.check(seen, player_.last_intent());
    record_.frames = frame;

    const int state = seen.integer("state");
    if (state != last_state_) {
        if (state == screen::title && last_state_ == screen::intro) record_.start = take_sample();
        if (state == screen::title && last_state_ == screen::tally) {
            record_.rounds_end.push_back(take_sample());
            if (++record_.rounds == settings_.rounds) player_.finish();
        }
        if (state == screen::title && last_state_ == screen::paused) ++record_.given_up;
        if (state == screen::paused) ++record_.pauses;
        last_state_ = state;
    }
    if (settings_.frame_limit > 0 && frame >= settings_.frame_limit && !record_.out_of_frames) {
        // Something keeps the rounds from ending: close the game and report.
        record_.out_of_frames = true;
        queue({std::to_string(frame) + " close"});
        return;
    }
    queue(player_.act(frame, seen));
}
