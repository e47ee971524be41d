// A stop signal ends a run as the system's close request does: the game ends its pass,
// saves both files, and the runner exits 0 with every frame in the trace.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runner_process.h"
#include "support/runner.h"
#include "support/temp_dir.h"

using test_support::runner_process;
using test_support::trace_frame;

namespace {

struct stop_case {
    int sig;
    std::vector<int> ignored;  // what the runner was started with ignored
};

void PrintTo(const stop_case& c, std::ostream* os) {
    *os << "SIG" << sigabbrev_np(c.sig) << (c.ignored.empty() ? "" : ", some ignored at start");
}

class runner_signal : public ::testing::TestWithParam<stop_case> {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { std::filesystem::create_directories(dir / "Data"); }

    std::vector<std::string> args(const std::string& script) const {
        { std::ofstream(dir / "script.txt") << script; }
        return {"--game-dir", dir.path().string(),
                "--script",   (dir / "script.txt").string(),
                "--trace",    trace()};
    }
    std::string trace() const { return (dir / "trace.jsonl").string(); }
};

}  // namespace

// With no script the game waits on the title for ever: only the signal can end the run.
TEST_P(runner_signal, ends_a_run_waiting_on_the_title_as_a_close_does) {
    runner_process run(args("0 key_down 32\n0 key_up 32\n"), (dir / "stderr.txt").string(),
                       GetParam().ignored);
    ASSERT_TRUE(test_support::wait_for_lines(trace(), 5)) << run.errors();
    run.signal_it(GetParam().sig);
    const int status = run.wait();
    ASSERT_EQ(status, 0) << strsignal(GetParam().sig) << ": " << run.errors();

    std::ifstream in(trace());
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "the last trace line is whole";
    const int frames = test_support::line_count(trace());
    std::ifstream lines(trace());
    int f = 0;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(trace_frame{line}.integer("f"), ++f) << "no frame lost or cut";
    }
    EXPECT_EQ(f, frames);
    EXPECT_EQ(dir.read("Data/hiscore.dat").size(), 4u) << "saved as on a close";
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat").size(), 4u);
}

// During the intro the close is taken there, and one title pass follows, as for a scripted
// close; with --frames still far off, the run still ends by the close.
TEST_P(runner_signal, ends_a_run_in_the_intro_before_its_frame_limit) {
    auto a = args("");
    a.insert(a.end(), {"--frames", "2000000000"});
    runner_process run(a, (dir / "stderr.txt").string(), GetParam().ignored);
    ASSERT_TRUE(test_support::wait_for_lines(trace(), 1)) << run.errors();
    run.signal_it(GetParam().sig);
    ASSERT_EQ(run.wait(), 0) << run.errors();
    EXPECT_EQ(dir.read("Data/hiscore.dat").size(), 4u);
}

// Focus lost on the title and never given back: the game waits in its suspension, and the
// close must still reach it there rather than wait for the focus.
TEST_P(runner_signal, ends_a_run_that_waits_for_the_focus) {
    runner_process run(args("0 key_down 32\n0 key_up 32\n3 suspend 2000000000\n"),
                       (dir / "stderr.txt").string(), GetParam().ignored);
    ASSERT_TRUE(test_support::wait_for_lines(trace(), 3)) << run.errors();
    run.signal_it(GetParam().sig);
    ASSERT_EQ(run.wait(), 0) << run.errors();
    EXPECT_EQ(test_support::line_count(trace()), 3) << "no frame after the suspension";
    EXPECT_EQ(dir.read("Data/hiscore.dat").size(), 4u);
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    stop_signals, runner_signal,
    ::testing::Values(stop_case{SIGTERM, {}}, stop_case{SIGINT, {}}, stop_case{SIGHUP, {}},
                      // A script's background job starts with SIGINT ignored.
                      stop_case{SIGINT, {SIGINT}}, stop_case{SIGTERM, {SIGINT, SIGHUP}}),
    [](const auto& p) {
        std::string name = sigabbrev_np(p.param.sig);
        return name + (p.param.ignored.empty() ? "" : "_started_ignoring_some");
    });
