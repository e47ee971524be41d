// Runs glimmerfrost-replay as a separate process and reads its trace.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace test_support {

// One trace line; fields are read by name, e.g. frame.num("score").
struct trace_frame {
    std::string line;

    // The raw text of a field's value: a number, or the inside of [...].
    std::string raw(const std::string& key) const {
        const std::string tag = "\"" + key + "\":";
        const auto at = line.find(tag);
        if (at == std::string::npos) return "<missing " + key + ">";
        auto start = at + tag.size();
        if (line[start] == '[') {
            return line.substr(start + 1, line.find(']', start) - start - 1);
        }
        return line.substr(start, line.find_first_of(",}", start) - start);
    }
    double num(const std::string& key) const { return std::atof(raw(key).c_str()); }
    int integer(const std::string& key) const { return std::atoi(raw(key).c_str()); }
};

struct run_result {
    int status = -1;  // exit status
    std::vector<trace_frame> trace;
    std::string errors;  // what the runner wrote to stderr
};

// Runs the runner with `args` plus a trace, with the script text given.
inline run_result run_replay(const temp_dir& dir, const std::string& script,
                             const std::string& args) {
    { std::ofstream(dir / "script.txt") << script; }
    const std::string cmd = std::string(GF_REPLAY) + " --game-dir '" + dir.path().string() +
                            "' --script '" + (dir / "script.txt").string() + "' --trace '" +
                            (dir / "trace.jsonl").string() + "' " + args + " 2>'" +
                            (dir / "stderr.txt").string() + "'";
    run_result r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    std::ifstream trace(dir / "trace.jsonl");
    for (std::string line; std::getline(trace, line);) r.trace.push_back({line});
    std::ifstream err(dir / "stderr.txt");
    r.errors.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return r;
}

// Gives the game folder the built sounds, so the trace names the effects it plays.
inline void copy_game_sounds(const temp_dir& dir, const std::string& built_data) {
    std::filesystem::create_directories(dir / "Data");
    for (const auto& f : std::filesystem::directory_iterator(built_data)) {
        if (f.path().extension() == ".ogg") {
            std::filesystem::copy_file(f.path(), dir / ("Data/" + f.path().filename().string()));
        }
    }
}

}  // namespace test_support
