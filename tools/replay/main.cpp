// glimmerfrost-replay: the real game, headless and exactly repeatable. Offscreen GL,
// scripted input, a virtual clock, no audio device; a JSON Lines trace and screenshots.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "game/game.h"
#include "media/assets.h"
#include "media/backend/sdl/window.h"
#include "media/backend/stop_signal.h"
#include "media/files.h"
#include "quote.h"
#include "replay_platform.h"

void register_game_assets();

namespace {

const char* const usage =
    "usage: glimmerfrost-replay [--game-dir DIR] [--script FILE] [--frames N]\n"
    "                           [--clock-start MS] [--trace FILE] [--shot N:FILE.png]...\n";

[[noreturn]] void bad_arguments(const std::string& why) {
    std::fprintf(stderr, "glimmerfrost-replay: %s\n%s", why.c_str(), usage);
    std::exit(2);
}

int number_arg(const std::string& flag, const std::string& value, int lo) {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < lo || n > 2000000000L) {
        bad_arguments("bad number " + quote(value) + " for " + flag);
    }
    return static_cast<int>(n);
}

bool takes_value(const std::string& flag) {
    for (const char* known :
         {"--game-dir", "--script", "--frames", "--clock-start", "--trace", "--shot"}) {
        if (flag == known) return true;
    }
    return false;
}

// Owned by the media layer once installed; the end of the run still has to ask it.
replay_platform* g_run = nullptr;

void at_game_end() {
    if (g_run->finish_run() != 0) std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    replay_settings settings;
    std::string game_dir = media::executable_dir();
    std::optional<std::string> script_path, trace_path;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!takes_value(flag)) bad_arguments("unknown option " + quote(flag));
        if (i + 1 >= argc) bad_arguments("missing value for " + flag);
        const std::string value = argv[++i];
        if (flag == "--game-dir") {
            game_dir = value;
        } else if (flag == "--script") {
            script_path = value;
        } else if (flag == "--frames") {
            settings.stop_after = number_arg(flag, value, 1);
        } else if (flag == "--clock-start") {
            settings.clock_start = number_arg(flag, value, 0);
        } else if (flag == "--trace") {
            trace_path = value;
        } else {
            const auto colon = value.find(':');
            if (colon == std::string::npos || colon + 1 == value.size()) {
                bad_arguments("--shot wants N:FILE.png, got " + quote(value));
            }
            settings.shots[number_arg(flag, value.substr(0, colon), 1)] = value.substr(colon + 1);
        }
    }
    if (script_path) {
        script_error error;
        auto events = load_script(*script_path, error);
        if (!events) {
            if (error.line == 0) {
                bad_arguments("cannot read the script " + quote(*script_path, path_limit) + ": " +
                              error.message);
            }
            std::fprintf(stderr, "glimmerfrost-replay: %s:%d: %s\n",
                         printable(*script_path, path_limit).c_str(), error.line,
                         error.message.c_str());
            return 2;
        }
        settings.script = std::move(*events);
    }
    if (trace_path) {
        settings.trace = std::fopen(trace_path->c_str(), "wb");
        if (!settings.trace) {
            std::fprintf(stderr, "glimmerfrost-replay: cannot write the trace %s: %s\n",
                         quote(*trace_path, path_limit).c_str(), std::strerror(errno));
            return 1;
        }
        settings.trace_name = *trace_path;
    }

#ifndef __EMSCRIPTEN__
    // In a page the canvas is the screen; the run never yields, so nothing shows there.
    media::backend::window_go_headless();
#endif
    media::backend::catch_stop_signals();
    media::set_game_dir(game_dir);
    auto platform = std::make_unique<replay_platform>(std::move(settings));
    g_run = platform.get();
    media::install_platform(std::move(platform));
    std::atexit(at_game_end);
    keep_sound_journal(true);
    game_options options;
    options.register_files = register_game_assets;
    options.audio_device = false;
    run_game(options);
}
