// Making images: the process-wide image settings, creation, loading, handles and grabs.
#include "media/image.h"

#include "media/backend/decoders/png_decode.h"
#include "media/backend/gl/back_buffer.h"
#include "media/files.h"
#include "media/image_data.h"
#include "media/log.h"

namespace media {

namespace {

struct image_settings {
    rgb_colour mask;
    int flags = 0;
    bool mid_handle = false;
};

image_settings& settings() {
    static image_settings s;
    return s;
}

image_ref make_image(int width, int height, int frames, int flags) {
    if (width <= 0 || height <= 0 || frames <= 0) {
        log_line("image", "cannot make an image of " + std::to_string(width) + " x " +
                              std::to_string(height) + " x " + std::to_string(frames));
        return nullptr;
    }
    auto img = std::make_shared<image>();
    img->width = width;
    img->height = height;
    img->flags = flags;
    img->mask = settings().mask;
    img->frames.assign(std::size_t(frames),
                       std::vector<std::uint8_t>(std::size_t(width) * std::size_t(height) * 4, 0));
    img->stale.assign(std::size_t(frames), true);
    if (settings().mid_handle) mid_handle_image(img);
    return img;
}

const std::vector<std::uint8_t> no_pixels;

}  // namespace

void set_mask_color(int r, int g, int b) {
    settings().mask = {r, g, b};
}

void auto_image_flags(int flags) {
    if (flags != -1) settings().flags = flags;
}

void auto_mid_handle(int on) {
    settings().mid_handle = on != 0;
}

image_ref create_image(int width, int height, int frames) {
    return make_image(width, height, frames, settings().flags | img_dynamic);
}

image_ref load_image(const std::string& source) {
    std::vector<std::uint8_t> bytes;
    if (!read_whole_file(source, bytes) || bytes.empty()) {
        log_once("image:" + source, "image", "cannot read " + source);
        return nullptr;
    }
    backend::decoded_png png;
    if (!backend::decode_png(bytes, png)) {
        log_once("image:" + source, "image", "not a PNG picture: " + source);
        return nullptr;
    }
    image_ref img = make_image(png.width, png.height, 1, settings().flags);
    if (!img) return nullptr;
    if (!png.has_alpha) {
        if (img->flags & img_masked)
            apply_mask(png.rgba, png.width, png.height, img->mask);
        else
            make_opaque(png.rgba);
    }
    img->frames[0] = std::move(png.rgba);
    return img;
}

void mid_handle_image(const image_ref& img) {
    if (!img) return;
    img->hx = float(img->width) * 0.5f;
    img->hy = float(img->height) * 0.5f;
}

void grab_image(const image_ref& img, int x, int y, int frame) {
    if (!img || frame < 0 || frame >= image_frames(img)) return;
    std::vector<std::uint8_t> px;
    backend::read_back_buffer(x, y, img->width, img->height, px);
    if (px.empty()) return;
    if (img->flags & img_masked)
        apply_mask(px, img->width, img->height, img->mask);
    else
        make_opaque(px);
    img->frames[std::size_t(frame)] = std::move(px);
    img->stale[std::size_t(frame)] = true;
}

int image_width(const image_ref& img) {
    return img ? img->width : 0;
}
int image_height(const image_ref& img) {
    return img ? img->height : 0;
}
int image_frames(const image_ref& img) {
    return img ? int(img->frames.size()) : 0;
}
float image_handle_x(const image_ref& img) {
    return img ? img->hx : 0.0f;
}
float image_handle_y(const image_ref& img) {
    return img ? img->hy : 0.0f;
}

const std::vector<std::uint8_t>& image_pixels(const image_ref& img, int frame) {
    if (!img || frame < 0 || frame >= image_frames(img)) return no_pixels;
    return img->frames[std::size_t(frame)];
}

}  // namespace media
