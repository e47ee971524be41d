// The game where its folder is hostile: read-only, without its Data folder, or with
// damaged sounds. It always plays through, names each problem once, and never harms the
// files it found.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "game_run.h"
#include "saved_files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace reliability;
using namespace std::string_literals;

namespace {

// Two rounds begun and left through the pause menu, so every sound and all three tracks are
// asked for more than once, then Escape on the title quits.
const std::string two_rounds =
    "0 key_down 32\n0 key_up 32\n"
    "2 mouse_down 1\n2 mouse_up 1\n"
    "150 key_down 27\n150 key_up 27\n"
    "160 key_down 27\n160 key_up 27\n"
    "170 mouse_move 320 220\n171 mouse_down 1\n171 mouse_up 1\n"
    "300 key_down 27\n300 key_up 27\n"
    "310 key_down 27\n310 key_up 27\n"
    "320 key_down 27\n";

const char* const sound_files[] = {"LogoHit.ogg", "Present.ogg", "Warper.ogg", "WarpIn.ogg",
                                   "WarpOut.ogg", "Bomb.ogg",    "Loose.ogg",  "Chime.ogg",
                                   "intro.ogg",   "play.ogg",    "Win.ogg"};

// The run went the way of `two_rounds`: both rounds played, quit from the title.
void expect_two_rounds(const test_support::run_result& r) {
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_EQ(r.trace.size(), 320u) << r.errors;
    EXPECT_EQ(r.trace[100].integer("state"), 2);
    EXPECT_EQ(r.trace[165].integer("state"), 4);
    EXPECT_EQ(r.trace[250].integer("state"), 2);
    EXPECT_EQ(r.trace.back().integer("state"), 4);
}

// Makes files and folders immutable (even root cannot write them) for the test's span.
class read_only_guard {
  public:
    explicit read_only_guard(std::vector<fs::path> paths) : paths_(std::move(paths)) {
        for (const fs::path& p : paths_) {
            if (std::system(("chattr +i '" + p.string() + "' 2>/dev/null").c_str()) != 0) return;
        }
        const fs::path probe = paths_.back() / "probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
        works_ = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            fs::remove(probe);
        }
    }
    ~read_only_guard() {
        for (const fs::path& p : paths_) {
            (void)std::system(("chattr -i '" + p.string() + "' 2>/dev/null").c_str());
        }
    }
    read_only_guard(const read_only_guard&) = delete;
    read_only_guard& operator=(const read_only_guard&) = delete;
    bool works() const { return works_; }

  private:
    std::vector<fs::path> paths_;
    bool works_ = false;
};

// Catches the game blocked on a pipe. A run that has not ended after a grace period far
// longer than any run takes is stuck; the write end of a pipe opens only while a reader
// waits, and opening it lets that reader go with an empty file. Counts the readers let go.
// (Looking sooner would also find the game's own quick non-blocking look at the pipe.)
class pipe_watch {
  public:
    explicit pipe_watch(std::vector<fs::path> pipes) : pipes_(std::move(pipes)) {}
    ~pipe_watch() {
        stop_ = true;
        thread_.join();
    }
    int readers() const { return found_; }

  private:
    void run() {
        const auto grace_ends = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::chrono::steady_clock::now() < grace_ends) continue;
            for (const fs::path& p : pipes_) {
                const int fd = ::open(p.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ++found_;
                    ::close(fd);
                }
            }
        }
    }
    std::vector<fs::path> pipes_;
    std::atomic<bool> stop_{false};
    std::atomic<int> found_{0};
    std::thread thread_{[this] { run(); }};
};

class hostile_folder : public ::testing::Test {
  protected:
    test_support::temp_dir work, home;
    fs::path game = work / "game";
    // A game that looks for another place to save must not find the tester's own.
    void SetUp() override {
        fs::create_directories(game);
        setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }
};

}  // namespace

TEST_F(hostile_folder, read_only_folder_plays_on_and_keeps_its_saves) {
    copy_sounds(game / "Data");
    { std::ofstream(game / "Data/hiscore.dat", std::ios::binary) << "\xE1\x10\0\0"s; }
    { std::ofstream(game / "Data/anaglyph3d.dat", std::ios::binary) << "\x02\0\0\0"s; }
    read_only_guard guard(
        {game / "Data/hiscore.dat", game / "Data/anaglyph3d.dat", game / "Data", game});
    if (!guard.works()) GTEST_SKIP() << "no way to make a folder read-only here (chattr +i)";

    // One click on the 3D entry gives shutdown a new setting to save.
    auto r =
        run_game(game, work.path(),
                 two_rounds + "318 mouse_move 320 260\n319 mouse_down 1\n319 mouse_up 1\n", "");
    expect_two_rounds(r);
    EXPECT_EQ(r.trace[10].integer("best"), 4321) << "read from the read-only file";
    EXPECT_EQ(r.trace.back().integer("mode_3d"), 3);
    EXPECT_EQ(work.read("game/Data/hiscore.dat"), le32_bytes(4321));
    EXPECT_EQ(work.read("game/Data/anaglyph3d.dat"), le32_bytes(2));
    EXPECT_EQ(temp_files_of(game / "Data", "anaglyph3d.dat"), 0);
    // Either the setting went to the player's own data folder, or the game said it could not:
    // as the click changed it, and for both files at shutdown.
    const fs::path moved = home.path() / "glimmerfrost/anaglyph3d.dat";
    const bool saved_elsewhere =
        fs::exists(moved) && home.read("glimmerfrost/anaglyph3d.dat") == le32_bytes(3);
    EXPECT_TRUE(saved_elsewhere || lines_with(r.errors, "not saved") == 3) << r.errors;
}

TEST_F(hostile_folder, missing_data_folder_plays_silent_and_says_so_once_per_file) {
    auto r = run_game(game, work.path(), two_rounds, "");
    expect_two_rounds(r);
    for (const char* name : sound_files) {
        EXPECT_LE(lines_with(r.errors, name), 1) << name << " named more than once:\n" << r.errors;
    }
    EXPECT_GE(lines_with(r.errors, ".ogg"), 8) << "the missing sounds are named:\n" << r.errors;
    EXPECT_EQ(lines_with(r.errors, "not saved"), 2) << r.errors;
    EXPECT_FALSE(fs::exists(game / "Data")) << "a failed save leaves no folder behind";
}

TEST_F(hostile_folder, truncated_sounds_play_what_they_can_and_are_named_once) {
    copy_sounds(game / "Data");
    // Cut inside the headers, inside the first audio page, and half way through the track.
    fs::resize_file(game / "Data/play.ogg", 40);
    fs::resize_file(game / "Data/Chime.ogg", 300);
    fs::resize_file(game / "Data/intro.ogg", fs::file_size(game / "Data/intro.ogg") / 2);
    auto r = run_game(game, work.path(), two_rounds, "");
    expect_two_rounds(r);
    for (const char* name : {"play.ogg", "Chime.ogg", "intro.ogg"}) {
        EXPECT_LE(lines_with(r.errors, name), 1) << name << " named more than once:\n" << r.errors;
    }
    EXPECT_EQ(lines_with(r.errors, "play.ogg"), 1) << "a track that cannot play is named";
    int music_starts = 0;
    for (const auto& f : r.trace) music_starts += f.raw("music").empty() ? 0 : 1;
    EXPECT_GE(music_starts, 4) << "the game still starts each track";
    EXPECT_EQ(work.read("game/Data/hiscore.dat").size(), 4u);
}

TEST_F(hostile_folder, pipes_in_place_of_sounds_are_skipped_without_waiting) {
    copy_sounds(game / "Data");
    std::vector<fs::path> pipes;
    for (const char* name : {"Bomb.ogg", "intro.ogg"}) {
        fs::remove(game / "Data" / name);
        ASSERT_EQ(0, ::mkfifo((game / "Data" / name).c_str(), 0644));
        pipes.push_back(game / "Data" / name);
    }
    pipe_watch watch(pipes);
    auto r = run_game(game, work.path(), two_rounds, "");
    EXPECT_EQ(0, watch.readers()) << "the game waited on a pipe";
    expect_two_rounds(r);
    for (const char* name : {"Bomb.ogg", "intro.ogg"}) {
        EXPECT_EQ(lines_with(r.errors, name), 1) << name << " named once:\n" << r.errors;
    }
    EXPECT_EQ(lines_with(r.errors, "not a regular file"), 2) << r.errors;
    EXPECT_EQ(work.read("game/Data/hiscore.dat").size(), 4u) << "saves go on as before";
}

TEST_F(hostile_folder, damaged_and_oversized_sounds_are_named_once_each) {
    copy_sounds(game / "Data");
    const fs::path data = game / "Data";
    fs::resize_file(data / "Bomb.ogg", fs::file_size(data / "Bomb.ogg") / 2);
    {  // 2 KB of junk in the middle of the other long effect
        std::fstream f(data / "Loose.ogg", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(fs::file_size(data / "Loose.ogg") / 2));
        f << std::string(2048, 'J');
    }
    fs::resize_file(data / "intro.ogg", 40 << 20);  // zeros after the end, past the limit
    auto r = run_game(game, work.path(), two_rounds, "");
    expect_two_rounds(r);
    for (const char* name : {"Bomb.ogg", "Loose.ogg", "intro.ogg"}) {
        EXPECT_EQ(lines_with(r.errors, name), 1) << name << " named once:\n" << r.errors;
    }
    EXPECT_EQ(lines_with(r.errors, "Bomb.ogg is damaged (cut short)"), 1) << r.errors;
    EXPECT_EQ(lines_with(r.errors, "Loose.ogg is damaged (damaged in the middle)"), 1) << r.errors;
    EXPECT_EQ(lines_with(r.errors, "intro.ogg: larger than"), 1) << r.errors;
    int music_starts = 0;
    for (const auto& f : r.trace) music_starts += f.raw("music").empty() ? 0 : 1;
    EXPECT_GE(music_starts, 4) << "the game still starts each track";
}
