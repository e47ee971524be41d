// libpng reports errors by longjmp, so the functions that call it keep no C++ object
// with a destructor in their own frame: everything lives in the caller's structs.
#include "media/backend/decoders/png_decode.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace media::backend {

namespace {

struct read_job {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0, pos = 0;
    decoded_png* out = nullptr;
    std::vector<png_bytep> rows;
};

void read_bytes(png_structp png, png_bytep dst, png_size_t n) {
    auto* job = static_cast<read_job*>(png_get_io_ptr(png));
    if (n > job->size - job->pos) png_error(png, "truncated");
    std::memcpy(dst, job->data + job->pos, n);
    job->pos += n;
}

void quiet(png_structp, png_const_charp) {}

bool run_read(png_structp png, png_infop info, read_job* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, job, read_bytes);
    png_read_info(png, info);
    const png_byte type = png_get_color_type(png, info);
    const bool alpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (!alpha) png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || w > 16384 || h > 16384 || png_get_rowbytes(png, info) != w * 4)
        return false;
    job->out->width = int(w);
    job->out->height = int(h);
    job->out->has_alpha = alpha;
    job->out->rgba.resize(std::size_t(w) * h * 4);
    job->rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) job->rows[y] = &job->out->rgba[std::size_t(y) * w * 4];
    png_read_image(png, job->rows.data());
    png_read_end(png, nullptr);
    return true;
}

struct write_job {
    std::vector<std::uint8_t>* out = nullptr;
    std::vector<png_bytep> rows;
    const std::vector<std::uint8_t>* pixels = nullptr;
};

void write_bytes(png_structp png, png_bytep src, png_size_t n) {
    auto* job = static_cast<write_job*>(png_get_io_ptr(png));
    job->out->insert(job->out->end(), src, src + n);
}

void no_flush(png_structp) {}

bool run_write(png_structp png, png_infop info, write_job* job, int w, int h, int channels) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, job, write_bytes, no_flush);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, job->rows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool decode_png(const std::vector<std::uint8_t>& bytes, decoded_png& out) {
    out = decoded_png{};
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet, quiet);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    read_job job;
    job.data = bytes.data();
    job.size = bytes.size();
    job.out = &out;
    const bool ok = info && run_read(png, info, &job);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) out = decoded_png{};
    return ok;
}

std::vector<std::uint8_t> encode_png(int w, int h, int channels,
                                     const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> out;
    if (w <= 0 || h <= 0 || (channels != 3 && channels != 4) ||
        pixels.size() != std::size_t(w) * std::size_t(h) * std::size_t(channels))
        return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet, quiet);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    write_job job;
    job.out = &out;
    job.pixels = &pixels;
    job.rows.resize(std::size_t(h));
    for (int y = 0; y < h; ++y) {
        job.rows[std::size_t(y)] =
            const_cast<png_bytep>(&pixels[std::size_t(y) * std::size_t(w) * std::size_t(channels)]);
    }
    const bool ok = info && run_write(png, info, &job, w, h, channels);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) out.clear();
    return out;
}

bool write_png_rgb(const std::string& path, int w, int h, const std::vector<std::uint8_t>& rgb) {
    const std::vector<std::uint8_t> bytes = encode_png(w, h, 3, rgb);
    if (bytes.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace media::backend
