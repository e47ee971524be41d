// The generator must give the same bytes every time: the build relies on it,
// and so does anyone who compares two builds of the game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "asset_files.h"

using namespace gf_test;

TEST(Generator, RunningItAgainGivesTheSameFiles) {
    namespace fs = std::filesystem;
    fs::path tmp = fs::temp_directory_path() / ("assetgen_again_" + std::to_string(::getpid()));
    fs::create_directories(tmp / "assets");
    fs::create_directories(tmp / "Data");
    std::string cmd = std::string("\"") + GF_ASSETGEN + "\" \"" + (tmp / "assets").string() +
                      "\" \"" + (tmp / "Data").string() + "\" \"" + GF_FONT_FILE + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const char* pictures[] = {"qblogo.png",      "pointer.png", "background.png", "mountains1.png",
                              "mountains2.png",  "ground1.png", "ground2.png",    "sprites.png",
                              "title.png",       "icon-64.png", "icon-128.png",   "icon-256.png",
                              "glimmerfrost.ico"};
    const char* sounds[] = {"LogoHit.ogg", "Present.ogg", "Warper.ogg", "WarpIn.ogg",
                            "WarpOut.ogg", "Bomb.ogg",    "Loose.ogg",  "Chime.ogg",
                            "intro.ogg",   "play.ogg",    "Win.ogg"};
    for (const char* p : pictures) {
        std::vector<uint8_t> built = file_bytes(asset_path(p));
        EXPECT_FALSE(built.empty()) << p;
        EXPECT_TRUE(built == file_bytes((tmp / "assets" / p).string()))
            << p << " came out different";
    }
    for (const char* s : sounds) {
        std::vector<uint8_t> built = file_bytes(data_path(s));
        EXPECT_FALSE(built.empty()) << s;
        EXPECT_TRUE(built == file_bytes((tmp / "Data" / s).string())) << s << " came out different";
    }
    fs::remove_all(tmp);
}
