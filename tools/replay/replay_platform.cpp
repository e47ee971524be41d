#include "replay_platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "media/backend/decoders/png_decode.h"
#include "media/backend/gl/back_buffer.h"
#include "media/backend/stop_signal.h"
#include "quote.h"
#include "trace.h"

replay_platform::replay_platform(replay_settings settings)
    : scripted_platform(settings.clock_start), settings_(std::move(settings)) {
    add_events(settings_.script);
}

replay_platform::~replay_platform() {
    if (settings_.trace) std::fclose(settings_.trace);
}

bool replay_platform::poll_event(media::platform_event& ev) {
    if (media::backend::take_stop_signal()) {
        ev = {};
        ev.kind = media::platform_event::close_request;
        return true;
    }
    return scripted_platform::poll_event(ev);
}

void replay_platform::frame_presented(int frame) {
    set_presented(frame);
    if (settings_.trace) {
        write_trace_line(settings_.trace, frame, clock());
        // Line by line, so a run that hangs or is killed leaves every frame it showed; a
        // trace that stopped being written is no record of the run: stop here.
        if (std::fflush(settings_.trace) != 0 || std::ferror(settings_.trace)) fail(trace_error());
    }
    if (auto shot = settings_.shots.find(frame); shot != settings_.shots.end()) {
        std::vector<std::uint8_t> rgba;
        media::backend::read_back_buffer(0, 0, 640, 480, rgba);
        std::vector<std::uint8_t> rgb;
        rgb.reserve(640 * 480 * 3);
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        }
        if (!media::backend::write_png_rgb(shot->second, 640, 480, rgb)) {
            fail("cannot write the screenshot " + quote(shot->second, path_limit));
        }
        settings_.shots.erase(shot);
    }
    if (frame == settings_.stop_after) {
        // As if the process were killed here: no shutdown, nothing saved.
        std::_Exit(finish_run());
    }
}

int replay_platform::finish_run() {
    int status = 0;
    if (settings_.trace) {
        std::string why;
        if (std::fflush(settings_.trace) != 0 || std::ferror(settings_.trace)) {
            why = trace_error();
        }
        if (std::fclose(settings_.trace) != 0 && why.empty()) why = trace_error();
        settings_.trace = nullptr;
        if (!why.empty()) {
            std::fprintf(stderr, "glimmerfrost-replay: %s\n", why.c_str());
            status = 1;
        }
    }
    for (const auto& [frame, path] : settings_.shots) {
        std::fprintf(stderr,
                     "glimmerfrost-replay: no screenshot %s: the run ended after frame %d, "
                     "before frame %d\n",
                     quote(path, path_limit).c_str(), presented(), frame);
        status = 1;
    }
    settings_.shots.clear();
    return status;
}

void replay_platform::fail(const std::string& why) {
    std::fprintf(stderr, "glimmerfrost-replay: %s\n", why.c_str());
    if (settings_.trace) std::fflush(settings_.trace);  // what there is may still help
    std::_Exit(1);
}

// Reads errno, so call it straight after the failing write, flush or close.
std::string replay_platform::trace_error() const {
    const int err = errno;
    return "cannot write the trace " + quote(settings_.trace_name, path_limit) +
           (err != 0 ? std::string(": ") + std::strerror(err) : std::string());
}
