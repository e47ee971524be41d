// The two saved files holding whatever a damaged disk or a hand edit leaves. The best
// score must load as the little-endian value of the first four bytes (missing ones 0), and
// the 3D setting as that value when it names a mode, else flat: never a pair that is not.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.h"
#include "game/globals.h"
#include "game/saved_files.h"
#include "media/files.h"

namespace {

std::string g_folder;

void remove_folder() {
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
}

bool set_up() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "glimmerfrost-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    g_folder = pattern;
    std::filesystem::create_directory(g_folder + "/Data");
    std::atexit(remove_folder);
    media::set_game_dir(g_folder);
    draw3d = std::make_shared<qbdraw_tag>();
    player = std::make_shared<player_tag>();
    return true;
}

void put(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(g_folder + "/Data/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = set_up();
    (void)ready;
    put("hiscore.dat", data, size);
    put("anaglyph3d.dat", data, size);

    std::uint32_t le = 0;
    for (std::size_t i = 0; i < 4 && i < size; ++i) le |= std::uint32_t{data[i]} << (8 * i);
    const auto stored = static_cast<std::int32_t>(le);

    player->best_sc = -777;
    hiscore_file(0);
    FUZZ_CHECK(player->best_sc == stored, "best %d from a file holding %d", player->best_sc,
               stored);

    mode_3d = 2;
    anaglyph_file(1);
    FUZZ_CHECK(mode_3d >= 0 && mode_3d <= 4, "mode_3d %d", mode_3d);
    const int want = (stored >= 0 && stored <= 4) ? stored : 0;
    FUZZ_CHECK(mode_3d == want, "mode_3d %d from a file holding %d", mode_3d, stored);
    return 0;
}
