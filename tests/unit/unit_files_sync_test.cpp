// Saves on a disk that will not sync: a save whose new file replaced the old one counts as
// made even when its folder cannot be synced; one that never reached the disk is one line.
// fsync is replaced for this test program, so the disk can refuse on cue.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "game/globals.h"
#include "game/saved_files.h"
#include "media/files.h"
#include "support/temp_dir.h"

namespace {

enum class refuse { nothing, folders, files };
refuse g_refuse = refuse::nothing;

}  // namespace

extern "C" int fsync(int fd) {
    struct stat st {};
    const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    if ((g_refuse == refuse::folders && folder) || (g_refuse == refuse::files && !folder)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

using bytes = std::vector<unsigned char>;

class unit_files_sync : public testing::Test {
  protected:
    test_support::temp_dir dir;
    void SetUp() override {
        reset_globals();
        player = std::make_shared<player_tag>();
        dir.write("Data/hiscore.dat", {1, 0, 0, 0});
        media::set_game_dir(dir.path().string());
    }
    void TearDown() override {
        g_refuse = refuse::nothing;
        reset_globals();
        media::set_game_dir(media::executable_dir());
    }
    // Saves `best` as the game does at exit; what it logged.
    std::string save_best(int best) {
        player->best_sc = best;
        testing::internal::CaptureStderr();
        hiscore_file(1);
        return testing::internal::GetCapturedStderr();
    }
};

int lines(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

TEST_F(unit_files_sync, a_save_in_place_is_made_though_its_folder_will_not_sync) {
    g_refuse = refuse::folders;
    auto w = media::write_file("Data\\other.dat");
    ASSERT_TRUE(w);
    media::write_int(w, 3);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(media::close_stream(std::move(w))) << "the new file is in place: saved";
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LE(lines(err), 1) << "at most a note, got:\n" << err;
    EXPECT_EQ(std::string::npos, err.find("could not save")) << err;
    EXPECT_EQ(dir.read("Data/other.dat"), (bytes{3, 0, 0, 0}));

    err = save_best(250);
    EXPECT_EQ(std::string::npos, err.find("not saved")) << err;
    EXPECT_EQ(0, lines(err)) << "the folder was noted once already, got:\n" << err;
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{250, 0, 0, 0}));
}

TEST_F(unit_files_sync, a_save_that_never_reached_the_disk_is_one_line) {
    g_refuse = refuse::files;
    const std::string err = save_best(250);
    EXPECT_EQ(1, lines(err)) << "one failure, one line, got:\n" << err;
    EXPECT_EQ(0u, err.find("glimmerfrost: save: ")) << err;
    EXPECT_NE(std::string::npos, err.find("best score not saved")) << err;
    EXPECT_NE(std::string::npos, err.find("hiscore.dat")) << "names the file:\n" << err;
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{1, 0, 0, 0})) << "the old save stays";
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir / "Data"), {}))
        << "no temporary file stays behind";
}

}  // namespace
