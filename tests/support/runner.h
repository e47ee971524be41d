// Runs glimmerfrost-replay as a separate process and reads its trace.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

// With GF_KEEP_RUNNER_CASES naming a folder, each run is also kept there as a case that
// another build of the runner can play again (tests/windows/run does, under Wine): the
// game folder as the run found it, its arguments with that folder written @GAME@, and
// what this run gave (keep_runner_result). Returns the case's folder; empty when not kept.
inline std::filesystem::path keep_runner_case(const temp_dir& dir, const std::string& args) {
    const char* keep = std::getenv("GF_KEEP_RUNNER_CASES");
    if (keep == nullptr || *keep == '\0') return {};
    namespace fs = std::filesystem;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("run");
    fs::path where;
    for (int n = 1; where.empty() || fs::exists(where); ++n) {
        where = fs::path(keep) / (name + "-" + std::to_string(n));
    }
    fs::create_directories(where);
    fs::copy(dir.path(), where / "game", fs::copy_options::recursive);
    std::string portable = args;
    const std::string game = dir.path().string();
    for (auto at = portable.find(game); at != std::string::npos; at = portable.find(game)) {
        portable.replace(at, game.size(), "@GAME@");
    }
    std::ofstream(where / "args.txt") << portable << "\n";
    return where;
}

// The run's status, trace and pictures, beside its case.
inline void keep_runner_result(const temp_dir& dir, const std::filesystem::path& where,
                               int status) {
    namespace fs = std::filesystem;
    std::ofstream(where / "status.txt") << status << "\n";
    for (const auto& f : fs::directory_iterator(dir.path())) {
        const auto ext = f.path().extension();
        if (f.path().filename() == "trace.jsonl" || ext == ".png") {
            fs::copy_file(f.path(), where / f.path().filename());
        }
    }
}

// Runs the runner with `args` plus a trace, with the script text given.
inline run_result run_replay(const temp_dir& dir, const std::string& script,
                             const std::string& args) {
    { std::ofstream(dir / "script.txt") << script; }
    std::error_code ec;
    std::filesystem::remove(dir / "trace.jsonl", ec);  // a run that writes none reads none
    const auto kept = keep_runner_case(dir, args);
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
    if (!kept.empty()) keep_runner_result(dir, kept, r.status);
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
