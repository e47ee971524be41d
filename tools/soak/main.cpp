// glimmerfrost-soak: the real game played round after round by a random player, headless
// as in the runner. Every frame is held to the game's rules; at each return to the title it
// samples memory, file descriptors and GL objects, and at the end it prints the figures.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/globals.h"
#include "media/assets.h"
#include "media/display.h"
#include "media/files.h"
#include "media/sound.h"
#include "soak_platform.h"

void register_game_assets();

namespace fs = std::filesystem;

namespace {

const char* const usage =
    "usage: glimmerfrost-soak [--rounds N] [--seed S] [--clock-start MS] [--data DIR]\n"
    "                         [--trace FILE] [--script-out FILE] [--rss-limit-kb N]\n";

struct options {
    soak_settings play;
    std::string data_dir, trace_path, script_path;
    long rss_limit_kb = 1024;
};

[[noreturn]] void bad_arguments(const std::string& why) {
    std::fprintf(stderr, "glimmerfrost-soak: %s\n%s", why.c_str(), usage);
    std::exit(2);
}

long number(const std::string& flag, const std::string& value, long lo) {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < lo || n > 2000000000L) {
        bad_arguments("bad number '" + value + "' for " + flag);
    }
    return n;
}

options parse_arguments(int argc, char** argv) {
    options o;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) bad_arguments("missing value for " + flag);
        const std::string value = argv[++i];
        if (flag == "--rounds") {
            o.play.rounds = static_cast<int>(number(flag, value, 1));
        } else if (flag == "--seed") {
            o.play.seed = static_cast<unsigned>(number(flag, value, 0));
        } else if (flag == "--clock-start") {
            o.play.clock_start = static_cast<int>(number(flag, value, 0));
        } else if (flag == "--data") {
            o.data_dir = value;
        } else if (flag == "--trace") {
            o.trace_path = value;
        } else if (flag == "--script-out") {
            o.script_path = value;
        } else if (flag == "--rss-limit-kb") {
            o.rss_limit_kb = number(flag, value, 0);
        } else {
            bad_arguments("unknown option " + flag);
        }
    }
    // A round with its tally takes well under 12000 frames.
    o.play.frame_limit = 12000 * o.play.rounds + 2000;
    return o;
}

// A fresh game folder with the sounds, so the saves touch nothing of the build.
std::string make_game_folder(const std::string& data_dir) {
    std::string pattern = (fs::temp_directory_path() / "glimmerfrost-soak-XXXXXX").string();
    if (!mkdtemp(pattern.data())) bad_arguments("cannot make a game folder under /tmp");
    fs::create_directory(pattern + "/Data");
    if (!data_dir.empty()) {
        for (const auto& f : fs::directory_iterator(data_dir)) {
            if (f.path().extension() == ".ogg") {
                fs::copy_file(f.path(), pattern + "/Data/" + f.path().filename().string());
            }
        }
    }
    return pattern;
}

std::vector<unsigned char> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> le32(int v) {
    const auto u = static_cast<unsigned>(v);
    return {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
            static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
}

std::FILE* open_out(const std::string& path) {
    if (path.empty()) return nullptr;
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) bad_arguments("cannot write " + path);
    return f;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;  // freed memory sits in quarantine: resident size says little
#else
constexpr bool sanitized = false;
#endif

}  // namespace

int main(int argc, char** argv) {
    options o = parse_arguments(argc, argv);
    const std::string folder = make_game_folder(o.data_dir);
    o.play.trace = open_out(o.trace_path);
    o.play.script = open_out(o.script_path);
    if (o.play.script) {
        std::fprintf(o.play.script,
                     "# glimmerfrost-soak --rounds %d --seed %u: replay it with\n"
                     "# glimmerfrost-replay --clock-start %d --script THIS_FILE\n",
                     o.play.rounds, o.play.seed, o.play.clock_start);
    }

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    media::set_game_dir(folder);
    auto owned = std::make_unique<soak_platform>(o.play);
    const soak_platform& soak = *owned;
    media::install_platform(std::move(owned));
    keep_sound_journal(true);
    game_options game;
    game.register_files = register_game_assets;
    game.audio_device = false;
    start_up(game);
    do {
        main_loop_pass();
    } while (quit_game == 0);
    shut_down();

    const soak_record& r = soak.record();
    bool ok = true;
    auto verdict = [&](bool pass, const char* what) {
        if (!pass) {
            ok = false;
            std::printf("soak: FAILED: %s\n", what);
        }
    };
    std::printf(
        "soak: %d rounds (%d more given up from the pause menu), %d frames, "
        "%d pauses, %d focus losses, seed %u\n",
        r.rounds, r.given_up, r.frames, r.pauses, r.suspends, o.play.seed);
    verdict(!r.out_of_frames && r.rounds == o.play.rounds, "the rounds did not all end");

    const rule_check& rules = soak.rules();
    std::printf(
        "soak: rule breaks %d; max live star bursts %d; lowest clock %d; best score %d; "
        "slowest frame %.1f ms (frame %d)\n",
        rules.breaks(), rules.max_stars(), rules.min_level(), rules.best(), r.slowest_frame_ms,
        r.slowest_frame);
    for (const std::string& b : rules.first_breaks()) std::printf("soak:   %s\n", b.c_str());
    verdict(rules.breaks() == 0, "the game broke its rules");

    if (!r.rounds_end.empty()) {
        // Lazily made things (the tally's text, say) exist from the first round on, so the
        // leak checks start there.
        const resource_sample& first = r.rounds_end.front();
        const resource_sample& end = r.rounds_end.back();
        auto by_round = [&](const char* what, long resource_sample::*kb) {
            std::printf("soak: %s by round (KB):", what);
            for (const resource_sample& s : r.rounds_end) std::printf(" %ld", s.*kb);
            std::printf("\n");
        };
        by_round("resident memory", &resource_sample::rss_kb);
        by_round("resident memory after a trim", &resource_sample::trimmed_rss_kb);
        by_round("heap in use", &resource_sample::heap_kb);
        if (r.rounds_end.size() >= 3) {
            const resource_sample& second = r.rounds_end[1];
            const long growth = end.trimmed_rss_kb - second.trimmed_rss_kb;
            std::printf(
                "soak: resident memory from round 2 to round %zu: %+ld KB after a trim "
                "(%+ld KB untrimmed, heap %+ld KB; limit %ld KB)%s\n",
                r.rounds_end.size(), growth, end.rss_kb - second.rss_kb,
                end.heap_kb - second.heap_kb, o.rss_limit_kb,
                sanitized ? ", not judged under AddressSanitizer" : "");
            if (!sanitized) verdict(growth < o.rss_limit_kb, "resident memory grew");
        }
        std::printf("soak: file descriptors: title %d, after round 1 %d, end %d\n", r.start.fds,
                    first.fds, end.fds);
        verdict(end.fds <= first.fds && end.fds <= r.start.fds, "file descriptors leaked");
        std::printf("soak: GL objects at the first title: %s\n", r.start.gl.text().c_str());
        std::printf("soak: GL objects after round 1:      %s\n", first.gl.text().c_str());
        std::printf("soak: GL objects at the end:         %s\n", end.gl.text().c_str());
        verdict(end.gl == first.gl, "GL objects leaked");
    }

    const auto best = read_all(folder + "/Data/hiscore.dat");
    const auto mode = read_all(folder + "/Data/anaglyph3d.dat");
    std::printf("soak: saved best %s, 3D setting %s\n",
                best == le32(player->best_sc) ? "matches" : "DIFFERS",
                mode == le32(mode_3d) ? "matches" : "DIFFERS");
    verdict(best == le32(player->best_sc) && mode == le32(mode_3d), "the saves are wrong");
    std::printf("soak: %s\n", ok ? "OK" : "FAILED");

    if (o.play.trace) std::fclose(o.play.trace);
    if (o.play.script) std::fclose(o.play.script);
    std::error_code ec;
    fs::remove_all(folder, ec);
    media::close_audio();
    media::close_graphics();
    return ok ? 0 : 1;
}
