#include "asset_files.h"

#include <png.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace gf_test {

std::string asset_path(const std::string& name) {
    return std::string(GF_ASSET_DIR) + "/" + name;
}
std::string data_path(const std::string& name) {
    return std::string(GF_DATA_DIR) + "/" + name;
}

png_header read_png_header(const std::string& path) {
    png_header h;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return h;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return h;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return png_header{};
    }
    png_init_io(png, f.get());
    png_read_info(png, info);
    h.ok = true;
    h.width = png_get_image_width(png, info);
    h.height = png_get_image_height(png, info);
    h.bit_depth = png_get_bit_depth(png, info);
    h.color_type = png_get_color_type(png, info);
    h.has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_destroy_read_struct(&png, &info, nullptr);
    return h;
}

bool load_picture(const std::string& path, picture& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    out.w = int(img.width);
    out.h = int(img.height);
    out.rgb.assign(PNG_IMAGE_SIZE(img), 0);
    if (!png_image_finish_read(&img, nullptr, out.rgb.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return true;
}

audio decode_ogg(const std::string& path) {
    audio a;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return a;
    vorbis_info* vi = ov_info(&vf, -1);
    a.rate = vi->rate;
    a.channels = vi->channels;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n < 0) {
            ov_clear(&vf);
            return audio{};
        }
        if (n == 0) break;
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < a.channels; ++c) a.samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    a.ok = true;
    return a;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace gf_test
