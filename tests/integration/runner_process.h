// The runner as a child process that a test can signal and wait for: arguments passed as
// they are (no shell in between), stderr kept in a file.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

class runner_process {
  public:
    // `ignored`: signals the runner starts with ignored, as a script's background job does.
    runner_process(const std::vector<std::string>& args, const std::string& stderr_path,
                   std::vector<int> ignored = {})
        : stderr_path_(stderr_path) {
        std::vector<char*> argv{const_cast<char*>(GF_REPLAY)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            for (int sig : {SIGTERM, SIGINT, SIGHUP}) signal(sig, SIG_DFL);
            for (int sig : ignored) signal(sig, SIG_IGN);
            const int err = open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int out = open("/dev/null", O_WRONLY);
            if (err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0) _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~runner_process() {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    runner_process(const runner_process&) = delete;
    runner_process& operator=(const runner_process&) = delete;

    void signal_it(int sig) const { kill(pid_, sig); }

    // The exit status (128 + the signal for a killed runner); -1 if it is still running
    // when the deadline passes, which is generous: only a hang misses it.
    int wait(std::chrono::seconds deadline = std::chrono::seconds(120)) {
        const auto until = std::chrono::steady_clock::now() + deadline;
        while (status_ < 0 && std::chrono::steady_clock::now() < until) {
            int raw = 0;
            if (waitpid(pid_, &raw, WNOHANG) == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return status_;
    }

    std::string errors() const {
        std::ifstream in(stderr_path_);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string stderr_path_;
};

// Lines in a file so far (a trace being written).
inline int line_count(const std::string& path) {
    std::ifstream in(path);
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

// Polls until the file holds `lines` lines; false if the deadline passes first.
inline bool wait_for_lines(const std::string& path, int lines,
                           std::chrono::seconds deadline = std::chrono::seconds(120)) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (line_count(path) < lines) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace test_support
