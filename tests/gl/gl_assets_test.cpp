// The asset loader on the real embedded pictures: the sprite sheet is cut exactly.
#include <gtest/gtest.h>

#include "game/globals.h"
#include "media/backend/decoders/png_decode.h"
#include "media/embedded.h"
#include "media/files.h"
#include "support/game_pictures.h"
#include "support/gl_screen.h"
#include "support/temp_dir.h"

TEST(load_assets, sprite_frames_are_the_sheet_rectangles_with_black_see_through) {
    test_support::temp_dir empty_game_dir;
    test_support::load_game_pictures(empty_game_dir);
    EXPECT_FALSE(snd_present) << "a missing sound file gives no sound, and no stop";
    EXPECT_FLOAT_EQ(media::image_handle_x(img_title), 243.0f);
    EXPECT_FLOAT_EQ(media::image_handle_y(img_title), 69.5f);
    EXPECT_FLOAT_EQ(media::image_handle_x(img_back), 0.0f);

    const auto bytes = media::embedded_file("sprites.png");
    media::backend::decoded_png sheet;
    ASSERT_TRUE(media::backend::decode_png({bytes.begin(), bytes.end()}, sheet));
    ASSERT_EQ(sheet.width, 575);
    struct cut {
        media::image_ref img;
        int frames, x, y, dx, dy;
    };
    const cut cuts[] = {{img_flake, 1, 408, 1, 0, 0},
                        {img_player, 5, 1, 1, 0, 83},
                        {img_stuff, 8, 421, 1, 19, 0},
                        {img_star, 3, 408, 24, 0, 113}};
    for (const cut& c : cuts) {
        const int w = media::image_width(c.img), h = media::image_height(c.img);
        for (int f = 0; f < c.frames; ++f) {
            const auto& px = media::image_pixels(c.img, f);
            int wrong = 0;
            for (int v = 0; v < h; ++v) {
                for (int u = 0; u < w; ++u) {
                    const std::uint8_t* s =
                        &sheet.rgba[((c.y + c.dy * f + v) * sheet.width + c.x + c.dx * f + u) * 4];
                    const std::uint8_t* p = &px[(v * w + u) * 4];
                    const bool black = s[0] == 0 && s[1] == 0 && s[2] == 0;
                    if (black ? p[3] != 0
                              : (p[3] != 255 || p[0] != s[0] || p[1] != s[1] || p[2] != s[2])) {
                        ++wrong;
                    }
                }
            }
            EXPECT_EQ(wrong, 0) << w << "x" << h << " frame " << f;
        }
    }
    reset_assets();
}
