// The runner on a game folder of the test's choosing (which may be read-only), with its
// script, trace and stderr kept in a separate work folder.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/runner.h"

namespace reliability {

inline test_support::run_result run_game(const std::filesystem::path& game_dir,
                                         const std::filesystem::path& work,
                                         const std::string& script, const std::string& args) {
    { std::ofstream(work / "script.txt") << script; }
    const std::string cmd = std::string(GF_REPLAY) + " --game-dir '" + game_dir.string() +
                            "' --script '" + (work / "script.txt").string() + "' --trace '" +
                            (work / "trace.jsonl").string() + "' " + args + " 2>'" +
                            (work / "stderr.txt").string() + "'";
    test_support::run_result r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    std::ifstream trace(work / "trace.jsonl");
    for (std::string line; std::getline(trace, line);) r.trace.push_back({line});
    std::ifstream err(work / "stderr.txt");
    r.errors.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return r;
}

// Lines of `text` that contain `part`.
inline int lines_with(const std::string& text, const std::string& part) {
    std::istringstream in(text);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.find(part) != std::string::npos;
    return n;
}

// Copies the game's sounds into `data`.
inline void copy_sounds(const std::filesystem::path& data) {
    std::filesystem::create_directories(data);
    for (const auto& f : std::filesystem::directory_iterator(GF_DATA_DIR)) {
        if (f.path().extension() == ".ogg") {
            std::filesystem::copy_file(f.path(), data / f.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
}

}  // namespace reliability
