// Saves against SIGKILL. Killed at any moment around a save, the game leaves each saved
// file holding its old value or its new one, four bytes, with at most one stray temporary
// file beside it however often it dies there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "game/globals.h"
#include "game/saved_files.h"
#include "media/files.h"
#include "saved_files.h"
#include "support/temp_dir.h"

extern char** environ;

using namespace reliability;
using std::chrono::microseconds;
using clock_type = std::chrono::steady_clock;

namespace {

constexpr int old_best = 1234, new_best = 987654;
constexpr int old_mode = 1, new_mode = 3;

// Both shutdown saves with the new values, then with the old ones.
void save_both_ways() {
    player->best_sc = new_best;
    mode_3d = new_mode;
    anaglyph_file(2);
    hiscore_file(1);
    player->best_sc = old_best;
    mode_3d = old_mode;
    anaglyph_file(2);
    hiscore_file(1);
}

void kill_and_reap(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

class kill_during_save : public ::testing::Test {
  protected:
    test_support::temp_dir dir;

    void SetUp() override {
        std::filesystem::create_directories(dir / "Data");
        dir.write("Data/hiscore.dat", le32_bytes(old_best));
        dir.write("Data/anaglyph3d.dat", le32_bytes(old_mode));
    }
    void TearDown() override { reset_globals(); }

    // Both files whole, each old or new, and no more than one temporary beside each.
    void expect_whole(const std::string& after, int& saw_new) {
        const auto best = dir.read("Data/hiscore.dat");
        const auto mode = dir.read("Data/anaglyph3d.dat");
        ASSERT_EQ(best.size(), 4u) << "hiscore.dat " << after;
        ASSERT_EQ(mode.size(), 4u) << "anaglyph3d.dat " << after;
        const int b = le32(best), m = le32(mode);
        ASSERT_TRUE(b == old_best || b == new_best) << "hiscore.dat holds " << b << " " << after;
        ASSERT_TRUE(m == old_mode || m == new_mode) << "anaglyph3d.dat holds " << m << " " << after;
        saw_new += b == new_best ? 1 : 0;
        ASSERT_LE(temp_files_of(dir / "Data", "hiscore.dat"), 1) << "temporaries pile up " << after;
        ASSERT_LE(temp_files_of(dir / "Data", "anaglyph3d.dat"), 1)
            << "temporaries pile up " << after;
    }
};

}  // namespace

TEST_F(kill_during_save, a_kill_at_any_moment_of_the_saves_leaves_old_or_new) {
    media::set_game_dir(dir.path().string());
    draw3d = std::make_shared<qbdraw_tag>();
    player = std::make_shared<player_tag>();
    // How long the saves take on this disk sets how widely the kills are spread.
    const auto t0 = clock_type::now();
    for (int i = 0; i < 5; ++i) save_both_ways();
    const auto cycle = std::chrono::duration_cast<microseconds>(clock_type::now() - t0) / 5;
    const long spread_us = std::max<long>(500, 2 * cycle.count());

    std::mt19937 rng(6);
    // At least this many kills, and on until kills have left both the old and the new best
    // (the saves write one, then the other); a disk too odd to show both gives up at the cap.
    constexpr int kills = 600, most_kills = 20000;
    int saw_new = 0, i = 0;
    for (; i < most_kills && (i < kills || saw_new == 0 || saw_new == i); ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (;;) save_both_ways();
        }
        std::this_thread::sleep_for(microseconds(rng() % spread_us));
        kill_and_reap(pid);
        expect_whole("after kill " + std::to_string(i), saw_new);
        if (HasFatalFailure()) return;
    }
    // Kills on both sides of the new values, or the test showed nothing.
    EXPECT_GT(saw_new, 0);
    EXPECT_LT(saw_new, i);
    std::printf("%d kills over %ld us (one cycle of saves %ld us): %d left the new best\n", i,
                spread_us, static_cast<long>(cycle.count()), saw_new);
}

TEST_F(kill_during_save, the_game_killed_while_quitting_keeps_whole_files) {
    // The run picks colour pair 3 ("R\C" is two clicks on from 1) and quits from the title:
    // the shutdown saves mode 3 over mode 1 and the unchanged best.
    std::ofstream(dir / "script.txt") << "0 key_down 32\n0 key_up 32\n"
                                         "2 mouse_move 320 260\n3 mouse_down 1\n3 mouse_up 1\n"
                                         "5 mouse_down 1\n5 mouse_up 1\n8 key_down 27\n";
    const std::string game_dir = dir.path().string(), script = (dir / "script.txt").string();
    auto spawn_game = [&] {
        std::vector<std::string> args = {GF_REPLAY, "--game-dir", game_dir, "--script", script};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int err = posix_spawn(&pid, GF_REPLAY, &quiet, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&quiet);
        return err == 0 ? pid : -1;
    };

    // One whole run first: its length tells where the shutdown falls.
    const auto t0 = clock_type::now();
    const pid_t first = spawn_game();
    ASSERT_GT(first, 0);
    int status = 0;
    waitpid(first, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const long run_us = std::chrono::duration_cast<microseconds>(clock_type::now() - t0).count();
    ASSERT_EQ(le32(dir.read("Data/anaglyph3d.dat")), new_mode) << "the script must change it";

    std::mt19937 rng(7);
    // At least this many kills, and on until kills have left both the old setting and the
    // new one: some landed before the shutdown's save and some after, so the save itself was
    // in reach. A machine whose runs swing too widely gives up at the cap.
    constexpr int kills = 24, most_kills = 400;
    int saw_new = 0, completed = 0, i = 0;
    for (; i < most_kills && (i < kills || saw_new == 0 || saw_new == i); ++i) {
        dir.write("Data/anaglyph3d.dat", le32_bytes(old_mode));
        const pid_t pid = spawn_game();
        ASSERT_GT(pid, 0);
        // From the middle of the run to past its end, thickest near the end.
        const long at =
            run_us / 2 + static_cast<long>(rng() % static_cast<unsigned>(run_us * 3 / 4));
        std::this_thread::sleep_for(microseconds(at));
        completed += waitpid(pid, &status, WNOHANG) == pid ? 1 : 0;
        kill_and_reap(pid);
        const auto mode = dir.read("Data/anaglyph3d.dat");
        ASSERT_EQ(mode.size(), 4u) << "after a kill at " << at << " us";
        const int m = le32(mode);
        // The two clicks step the setting through 2, each step saved as it is made.
        ASSERT_TRUE(m >= old_mode && m <= new_mode) << "holds " << m << " after a kill at " << at;
        saw_new += m == new_mode ? 1 : 0;
        ASSERT_EQ(le32(dir.read("Data/hiscore.dat")), old_best);
        ASSERT_LE(temp_files_of(dir / "Data", "anaglyph3d.dat"), 1);
    }
    EXPECT_GT(saw_new, 0) << "no kill came after the save";
    EXPECT_LT(saw_new, i) << "no kill came before the save";
    std::printf("%d kills of a %ld us run: %d left the new setting, %d runs had ended\n", i, run_us,
                saw_new, completed);
}
