// assetgen: draws every picture and synthesises every sound of the game.
//   assetgen ASSET_DIR DATA_DIR FONT_FILE [--pictures | --sounds]
// Pictures go to ASSET_DIR (they are compiled into the game, but for the
// desktop icons, which are installed, the Windows icon, which goes into the
// .exe, and the web app's icons), sounds to DATA_DIR (they sit beside it in Data/).
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ico_out.h"
#include "pictures.h"
#include "png_io.h"
#include "sounds.h"

namespace {

bool save_picture(const std::string& dir, const char* name, const ag::image8& img) {
    std::string path = dir + "/" + name;
    if (ag::write_png(path, img)) return true;
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    return false;
}

bool make_pictures(const std::string& dir, const std::string& font) {
    bool ok = true;
    ok &= save_picture(dir, "background.png", ag::draw_background());
    ok &= save_picture(dir, "mountains1.png", ag::draw_mountains(0));
    ok &= save_picture(dir, "mountains2.png", ag::draw_mountains(1));
    ok &= save_picture(dir, "ground1.png", ag::draw_ground(0));
    ok &= save_picture(dir, "ground2.png", ag::draw_ground(1));
    ok &= save_picture(dir, "sprites.png", ag::draw_sheet());
    ok &= save_picture(dir, "pointer.png", ag::draw_pointer());
    ok &= save_picture(dir, "title.png", ag::draw_title(font));
    ok &= save_picture(dir, "qblogo.png", ag::draw_logo(font));
    // 192 and 512 are the sizes a phone asks of a web app for its home screen.
    for (int size : {64, 128, 192, 256, 512}) {
        const std::string path = dir + "/icon-" + std::to_string(size) + ".png";
        if (ag::write_png_rgba(path, ag::draw_icon(size))) continue;
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ok = false;
    }
    // Windows picks the size it needs from the .ico: each is drawn at that size, so the
    // small ones keep their crisp edges.
    std::vector<ag::ico_picture> ico;
    for (int size : {16, 24, 32, 48, 64, 256})
        ico.push_back({size, ag::png_rgba_bytes(ag::draw_icon(size))});
    const std::string ico_path = dir + "/glimmerfrost.ico";
    if (!ag::write_file(ico_path, ag::ico_bytes(ico))) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", ico_path.c_str());
        ok = false;
    }
    return ok;
}

// Two workers take the jobs in turn; each file depends only on its own job,
// so the output is the same whichever worker makes it.
bool make_sounds(const std::string& dir) {
    const std::vector<ag::sound_job>& jobs = ag::sound_jobs();
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            std::string path = dir + "/" + jobs[i].file;
            if (!ag::write_ogg(path, jobs[i].make(), jobs[i].serial)) {
                std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
                ok = false;
            }
        }
    };
    std::thread other(worker);
    worker();
    other.join();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: assetgen ASSET_DIR DATA_DIR FONT_FILE [--pictures|--sounds]\n");
        return 2;
    }
    std::string only = argc > 4 ? argv[4] : "";
    bool ok = true;
    if (only != "--sounds") ok &= make_pictures(argv[1], argv[3]);
    if (only != "--pictures") ok &= make_sounds(argv[2]);
    return ok ? 0 : 1;
}
