// The best score and the 3D setting on disk: round trips and every way a file can be bad.
#include <gtest/gtest.h>

#include "game/globals.h"
#include "game/saved_files.h"
#include "media/files.h"
#include "support/temp_dir.h"

using bytes = std::vector<unsigned char>;

class storage_test : public ::testing::Test {
  protected:
    test_support::temp_dir dir;

    void SetUp() override {
        reset_globals();
        draw3d = std::make_shared<qbdraw_tag>();
        player = std::make_shared<player_tag>();
        std::filesystem::create_directories(dir / "Data");
        media::set_game_dir(dir.path().string());
    }
    void TearDown() override { reset_globals(); }

    int loaded_best(const bytes& file) {
        dir.write("Data/hiscore.dat", file);
        player->best_sc = -777;
        hiscore_file(0);
        return player->best_sc;
    }
    int loaded_mode(const bytes& file) {
        dir.write("Data/anaglyph3d.dat", file);
        mode_3d = 0;
        anaglyph_file(1);
        return mode_3d;
    }
};

TEST_F(storage_test, best_score_reads_what_the_file_holds) {
    EXPECT_EQ(loaded_best({0xD2, 0x04, 0x00, 0x00}), 1234);
    EXPECT_EQ(loaded_best({0xD2, 0x04, 0x00, 0x00, 0x99, 0x99}), 1234) << "extra bytes ignored";
    EXPECT_EQ(loaded_best({0x10, 0x27}), 10000) << "short file: low-order bytes";
    EXPECT_EQ(loaded_best({}), 0) << "empty file";
    EXPECT_EQ(loaded_best({0xFF, 0xFF, 0xFF, 0xFF}), -1) << "negative values load unchanged";
}

TEST_F(storage_test, best_score_survives_a_round_trip_as_four_bytes) {
    dir.write("Data/hiscore.dat", {1, 2, 3, 4, 5, 6, 7, 8});
    player->best_sc = 98765;
    hiscore_file(1);
    EXPECT_EQ(dir.read("Data/hiscore.dat"), (bytes{0xCD, 0x81, 0x01, 0x00}));
    player->best_sc = 0;
    hiscore_file(0);
    EXPECT_EQ(player->best_sc, 98765);
}

TEST_F(storage_test, missing_or_folder_best_score_starts_at_zero) {
    player->best_sc = 55;
    hiscore_file(0);
    EXPECT_EQ(player->best_sc, 0) << "no file";

    std::filesystem::create_directories(dir / "Data/hiscore.dat");
    player->best_sc = 55;
    hiscore_file(0);
    EXPECT_EQ(player->best_sc, 0) << "a folder under the name is ignored";
    player->best_sc = 12;
    hiscore_file(1);  // cannot replace a folder: skipped, and the game goes on
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Data/hiscore.dat"));
}

TEST_F(storage_test, save_into_a_missing_folder_is_skipped) {
    std::filesystem::remove_all(dir / "Data");
    player->best_sc = 300;
    mode_3d = 2;
    hiscore_file(1);
    anaglyph_file(2);
    EXPECT_FALSE(std::filesystem::exists(dir / "Data"));
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
    EXPECT_EQ(player->best_sc, 300);
}

TEST_F(storage_test, colour_pair_loads_and_sets_the_eye_colours) {
    EXPECT_EQ(loaded_mode({3, 0, 0, 0}), 3);
    EXPECT_EQ(draw3d->leye_r, 4);
    EXPECT_EQ(draw3d->leye_g, 80);
    EXPECT_EQ(draw3d->leye_b, 60);
    EXPECT_EQ(draw3d->reye_r, 140);
    EXPECT_EQ(draw3d->reye_g, 4);
    EXPECT_EQ(draw3d->reye_b, 10);
}

TEST_F(storage_test, colour_pair_out_of_range_or_damaged_loads_as_flat) {
    EXPECT_EQ(loaded_mode({5, 0, 0, 0}), 0);
    EXPECT_EQ(loaded_mode({0xFF, 0xFF, 0xFF, 0xFF}), 0);
    EXPECT_EQ(loaded_mode({4}), 4) << "short file: low-order byte";
    EXPECT_EQ(loaded_mode({}), 0);

    std::filesystem::remove(dir / "Data/anaglyph3d.dat");
    std::filesystem::create_directories(dir / "Data/anaglyph3d.dat");
    mode_3d = 0;
    anaglyph_file(1);
    EXPECT_EQ(mode_3d, 0) << "a folder under the name is ignored";
}

TEST_F(storage_test, flat_keeps_the_last_pair_and_saving_writes_four_bytes) {
    mode_3d = 4;
    anaglyph_file(0);
    mode_3d = 0;
    anaglyph_file(0);
    EXPECT_EQ(draw3d->leye_b, 140) << "Off keeps the R\\B colours";
    mode_3d = 1;
    anaglyph_file(0);
    EXPECT_EQ(draw3d->leye_r, 140);
    EXPECT_EQ(draw3d->leye_b, 40);
    EXPECT_EQ(draw3d->reye_g, 100);

    anaglyph_file(2);
    EXPECT_EQ(dir.read("Data/anaglyph3d.dat"), (bytes{1, 0, 0, 0}));
}
