// Where the game finds its folder and keeps its saves: beside it when its Data can be
// written, else in the player's XDG data folder, with the sounds still read from the game.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "game/globals.h"
#include "game/saved_files.h"
#include "media/files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using bytes = std::vector<unsigned char>;

namespace {

// An environment variable set (or, given null, cleared) until the end of the scope.
struct scoped_env {
    const char* name;
    std::optional<std::string> old;
    scoped_env(const char* n, const char* value) : name(n) {
        if (const char* v = std::getenv(n)) old = v;
        value ? setenv(n, value, 1) : unsetenv(n);
    }
    ~scoped_env() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
};

class save_dir_test : public testing::Test {
  protected:
    test_support::temp_dir game, home;
    std::string xdg = (home / "xdg").string(), saves = xdg + "/glimmerfrost";
    scoped_env xdg_env{"XDG_DATA_HOME", xdg.c_str()}, home_env{"HOME", home.path().c_str()};

    void SetUp() override {
        reset_globals();
        draw3d = std::make_shared<qbdraw_tag>();
        player = std::make_shared<player_tag>();
        media::set_game_dir(game.path().string());
    }
    void TearDown() override {
        reset_globals();
        media::set_game_dir(media::executable_dir());
    }
    std::string choice() const { return media::choose_save_dir(game.path().string()); }
};

TEST_F(save_dir_test, saves_stay_beside_the_game_only_where_its_data_can_be_written) {
    EXPECT_EQ(saves, choice()) << "no Data folder";
    game.write("Data", {1});
    EXPECT_EQ(saves, choice()) << "Data is a file";
    fs::remove(game / "Data");
    fs::create_directories(game / "data");
    EXPECT_EQ((game / "data").string(), choice()) << "Data is found whatever its case";
    EXPECT_FALSE(fs::exists(xdg)) << "choosing makes no folder";

    fs::remove(game / "data");
    const std::string fallback = (home / ".local/share/glimmerfrost").string();
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/share"}) {
        scoped_env unusable("XDG_DATA_HOME", value);
        EXPECT_EQ(fallback, choice()) << "XDG_DATA_HOME " << (value ? value : "unset");
    }
}

TEST_F(save_dir_test, a_read_only_data_folder_sends_the_saves_away) {
    fs::create_directories(game / "Data");
    ::chmod((game / "Data").c_str(), 0555);
    if (::access((game / "Data").c_str(), W_OK) != 0) {
        EXPECT_EQ(saves, choice());
        return;
    }
    // Root writes read-only folders: choose as a player would, in a child that has given
    // up root. The player may look into the game's folder, not write its Data.
    ::chmod(game.path().c_str(), 0755);
    int out[2];
    ASSERT_EQ(0, ::pipe(out));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(out[0]);
        const gid_t nogroup = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(65534) != 0) {
            ::_exit(3);
        }
        // The folder is seen, so the choice is about writing, not about finding it.
        const std::string chosen =
            choice() + (fs::is_directory(game / "Data") ? " (Data seen)" : " (Data unseen)");
        const bool written =
            ::write(out[1], chosen.data(), chosen.size()) == static_cast<ssize_t>(chosen.size());
        ::_exit(written ? 0 : 4);
    }
    ::close(out[1]);
    std::string chosen;
    char buf[256];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) chosen.append(buf, n);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(saves + " (Data seen)", chosen);
}

TEST_F(save_dir_test, the_save_folder_holds_both_saves_and_the_sounds_stay_with_the_game) {
    game.write("Data/Tone.ogg", {7, 7, 7});
    game.write("Data/hiscore.dat", {0x6F, 0, 0, 0});  // left by a copy that could write there
    media::set_save_dir(saves);
    hiscore_file(0);
    EXPECT_EQ(111, player->best_sc) << "an old save beside the game still loads";

    player->best_sc = 4321;
    hiscore_file(1);
    mode_3d = 3;
    anaglyph_file(2);
    EXPECT_EQ(home.read("xdg/glimmerfrost/hiscore.dat"), (bytes{0xE1, 0x10, 0, 0}));
    EXPECT_EQ(home.read("xdg/glimmerfrost/anaglyph3d.dat"), (bytes{3, 0, 0, 0}));
    EXPECT_EQ(game.read("Data/hiscore.dat"), (bytes{0x6F, 0, 0, 0})) << "the game's copy stays";
    EXPECT_EQ(fs::perms::owner_all, fs::status(saves).permissions() & fs::perms::all);
    player->best_sc = 0;
    hiscore_file(0);
    EXPECT_EQ(4321, player->best_sc) << "once saved, the save folder's file wins";
    EXPECT_EQ((game / "Data/Tone.ogg").string(), media::resolve_path("data\\tone.ogg"));

    // The runner's contract: a game folder set anew takes the saves back beside it.
    media::set_game_dir(game.path().string());
    player->best_sc = 5;
    hiscore_file(1);
    EXPECT_EQ(game.read("Data/hiscore.dat"), (bytes{5, 0, 0, 0}));
}

TEST_F(save_dir_test, a_save_folder_that_cannot_be_made_skips_the_save) {
    home.write("blocker", {1});
    media::set_save_dir((home / "blocker/glimmerfrost").string());
    player->best_sc = 9;
    testing::internal::CaptureStderr();
    hiscore_file(1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("best score not saved")) << "got: " << err;
}

TEST(unit_files_game_dir, the_game_folder_is_beside_the_program_or_in_the_install) {
    test_support::temp_dir root;
    const std::string bin = (root / "games").string(), installed = "../share/games/glimmerfrost";
    fs::create_directories(bin);
    EXPECT_EQ(bin, media::find_game_dir(bin, installed)) << "neither has Data";
    fs::create_directories(root / "share/games/glimmerfrost/Data");
    EXPECT_EQ(fs::canonical(root / "share/games/glimmerfrost").string(),
              media::find_game_dir(bin, installed));
    fs::create_directories(root / "games/DATA");
    EXPECT_EQ(bin, media::find_game_dir(bin, installed)) << "a Data beside the program wins";
}

}  // namespace
