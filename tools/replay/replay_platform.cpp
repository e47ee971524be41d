#include "replay_platform.h"

#include <cstdlib>

#include "media/backend/back_buffer.h"
#include "media/backend/png_decode.h"
#include "media/log.h"
#include "trace.h"

replay_platform::replay_platform(replay_settings settings)
    : settings_(std::move(settings)), clock_(settings_.clock_start) {}

replay_platform::~replay_platform() {
    if (settings_.trace) std::fclose(settings_.trace);
}

bool replay_platform::poll_event(media::platform_event& ev) {
    if (focus_back_due_) {
        focus_back_due_ = false;
        ev = {};
        ev.kind = media::platform_event::focus_gained;
        return true;
    }
    if (next_ >= settings_.script.size() || settings_.script[next_].frame > presented_) {
        return false;
    }
    const script_event& se = settings_.script[next_++];
    if (se.is_suspend) asks_left_ = se.suspend_asks;
    ev = se.event;
    return true;
}

void replay_platform::suspend_queried() {
    if (asks_left_ < 0) return;
    if (asks_left_ == 0) {
        asks_left_ = -1;
        focus_back_due_ = true;
        return;
    }
    --asks_left_;
}

void replay_platform::sleep_ms(int ms) {
    if (ms > 0) clock_ += ms;
}

void replay_platform::frame_presented(int frame) {
    presented_ = frame;
    if (settings_.trace) write_trace_line(settings_.trace, frame, clock_);
    if (auto shot = settings_.shots.find(frame); shot != settings_.shots.end()) {
        std::vector<std::uint8_t> rgba;
        media::backend::read_back_buffer(0, 0, 640, 480, rgba);
        std::vector<std::uint8_t> rgb;
        rgb.reserve(640 * 480 * 3);
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        }
        if (!media::backend::write_png_rgb(shot->second, 640, 480, rgb)) {
            media::fatal_error("cannot write the screenshot " + shot->second);
        }
    }
    if (frame == settings_.stop_after) {
        // As if the process were killed here: no shutdown, nothing saved.
        if (settings_.trace) std::fflush(settings_.trace);
        std::_Exit(0);
    }
}
