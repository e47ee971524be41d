#include "png_io.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace ag {

namespace {

// Appends what libpng writes to the vector behind its io pointer.
void append_bytes(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
// Without it libpng would fflush the vector as a FILE.
void flush_nothing(png_structp) {}

// Rows of 8-bit pixels of `type` as PNG bytes; empty on failure. The bytes live in the
// caller's frame, out of reach of the longjmp.
template <class Row>
void encode_rows(std::vector<uint8_t>& out, int w, int h, int type, Row row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return;
    }
    png_set_write_fn(png, &out, append_bytes, flush_nothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        png_write_row(png, row(y));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

uint8_t byte_of(float v) {
    return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
    return std::fclose(f.release()) == 0;
}

bool write_png(const std::string& path, const image8& img) {
    std::vector<uint8_t> bytes;
    encode_rows(bytes, img.w, img.h, PNG_COLOR_TYPE_RGB, [&](int y) { return img.at(0, y); });
    return write_file(path, bytes);
}

std::vector<uint8_t> png_rgba_bytes(const canvas& c) {
    std::vector<uint8_t> row(size_t(c.w) * 4), bytes;
    encode_rows(bytes, c.w, c.h, PNG_COLOR_TYPE_RGB_ALPHA, [&](int y) {
        for (int x = 0; x < c.w; ++x) {
            const rgb v = c.color(x, y);
            uint8_t* d = &row[size_t(x) * 4];
            d[0] = byte_of(v.r), d[1] = byte_of(v.g), d[2] = byte_of(v.b);
            d[3] = byte_of(c.alpha(x, y));
        }
        return row.data();
    });
    return bytes;
}

bool write_png_rgba(const std::string& path, const canvas& c) {
    return write_file(path, png_rgba_bytes(c));
}

bool read_png(const std::string& path, image8& img) {
    png_image pi{};
    pi.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&pi, path.c_str())) return false;
    pi.format = PNG_FORMAT_RGB;
    img = image8(int(pi.width), int(pi.height));
    if (!png_image_finish_read(&pi, nullptr, img.px.data(), 0, nullptr)) {
        png_image_free(&pi);
        return false;
    }
    return true;
}

}  // namespace ag
