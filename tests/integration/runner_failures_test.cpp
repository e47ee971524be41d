// Runs that cannot do what was asked fail loudly: an unreadable script is a bad argument
// (status 2), a trace or a screenshot that cannot be delivered is a failed run (status 1),
// and whatever the input held comes back in the message quoted, escaped and cut short.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runner_process.h"
#include "support/temp_dir.h"

using test_support::runner_process;

namespace {

class runner_failures : public ::testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override { std::filesystem::create_directories(dir / "Data"); }

    struct result {
        int status;
        std::string errors;
    };
    result run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--game-dir", dir.path().string()});
        runner_process p(args, (dir / "stderr.txt").string());
        const int status = p.wait();
        return {status, p.errors()};
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string script(const std::string& text, const std::string& name = "script.txt") const {
        std::ofstream(dir / name, std::ios::binary) << text;
        return path(name);
    }
};

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(runner_failures, a_script_that_cannot_be_read_is_a_bad_argument) {
    const std::pair<std::string, std::string> cases[] = {
        {dir.path().string(), "Is a directory"},
        {path("missing.txt"), "No such file"},
        {"/proc/self/mem", "error"},  // every read fails
        {"", "No such file"},
    };
    for (const auto& [script_path, why] : cases) {
        auto r = run({"--script", script_path, "--trace", path("trace.jsonl")});
        EXPECT_EQ(r.status, 2) << script_path << ": " << r.errors;
        EXPECT_TRUE(has(r.errors, "cannot read the script")) << r.errors;
        EXPECT_TRUE(has(r.errors, why)) << r.errors;
        EXPECT_FALSE(std::filesystem::exists(path("trace.jsonl"))) << "the game never started";
    }
}

TEST_F(runner_failures, a_trace_that_cannot_be_written_fails_the_run) {
    // Found at the end of a short run, when the last lines are flushed.
    auto r = run({"--trace", "/dev/full", "--frames", "2"});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "cannot write the trace '/dev/full': No space left")) << r.errors;

    // Found while the game runs: left on the title for ever, the run has to stop by itself.
    r = run({"--trace", "/dev/full", "--script", script("0 key_down 32\n0 key_up 32\n")});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "cannot write the trace")) << r.errors;
    EXPECT_FALSE(std::filesystem::exists(path("Data/hiscore.dat"))) << "stopped, not shut down";

    r = run({"--trace", path("no/such/folder/trace.jsonl"), "--frames", "1"});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "cannot write the trace")) << r.errors;
}

TEST_F(runner_failures, a_screenshot_of_a_frame_never_presented_fails_the_run) {
    auto r =
        run({"--frames", "3", "--shot", "2:" + path("two.png"), "--shot", "4:" + path("four.png")});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "four.png")) << r.errors;
    EXPECT_FALSE(has(r.errors, "two.png")) << r.errors;
    EXPECT_TRUE(std::filesystem::exists(path("two.png"))) << "the frames that came are shot";

    // The same when the game ends by itself, after saving.
    r = run({"--script", script("3 close\n"), "--shot", "90:" + path("late.png")});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "late.png")) << r.errors;
    EXPECT_EQ(dir.read("Data/hiscore.dat").size(), 4u);

    r = run({"--frames", "2", "--shot", "1:" + path("no/such/folder/one.png")});
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_TRUE(has(r.errors, "cannot write the screenshot")) << r.errors;
}

TEST_F(runner_failures, input_in_messages_is_escaped_and_cut_short) {
    const std::string huge(1 << 20, 'x');
    const std::string long_arg(100000, 'x');  // one argument may not pass 128 KiB
    struct {
        std::vector<std::string> args;
        std::string shown;
    } cases[] = {
        {{"--script", script("1 key_down 2" + std::string(1, '\0') + "7\n", "nul.txt")},
         "'2\\x007'"},
        {{"--script", script("1 key_down " + huge + "\n", "long_arg.txt")},
         "'" + std::string(40, 'x') + "'..."},
        {{"--script", script(huge + " close\n", "long_frame.txt")}, "bad frame number 'xxx"},
        {{"--script", script("1 \x1b[2Jwipe\n", "escape.txt")}, "unknown event '\\x1b[2Jwipe'"},
        {{"--frames", "7\n\x01"}, "'7\\x0a\\x01'"},
        {{long_arg, "1"}, "unknown option 'xxx"},
        {{"--shot", "it's"}, "'it\\'s'"},
    };
    for (const auto& c : cases) {
        auto r = run(c.args);
        EXPECT_EQ(r.status, 2) << r.errors;
        const std::string first = r.errors.substr(0, r.errors.find('\n'));
        EXPECT_TRUE(has(first, c.shown)) << "expected " << c.shown << " in " << first;
        EXPECT_LT(first.size(), 300u) << first.substr(0, 300);
        for (unsigned char ch : first) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << int(ch);
    }
}
