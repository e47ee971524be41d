// Textures of images and fonts. A texture remembers the context it was made in, so one
// released after the display has closed (at program exit) touches no GL at all.
#include <vector>

#include "media/backend/gl/gl_internal.h"
#include "media/backend/gl/gl_renderer.h"

namespace media::backend {

gl_texture::~gl_texture() {
    release();
}

bool gl_texture::valid() const {
    return name_ != 0 && generation_ == live_generation();
}

bool gl_texture::create(int width, int height, bool filtered, bool mipmapped) {
    release();
    if (live_generation() == 0 || width <= 0 || height <= 0) return false;
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
    if (width > max_size || height > max_size) return false;
    // Pending draws may still name the texture unit's old binding.
    flush();
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    texture_binding_changed();
    const GLint mag = filtered ? GL_LINEAR : GL_NEAREST;
    GLint min = mag;
    if (mipmapped) min = filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const std::vector<std::uint8_t> clear(std::size_t(width) * std::size_t(height) * 4, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 clear.data());
    if (mipmapped) glGenerateMipmap(GL_TEXTURE_2D);
    texture_is_smooth(name_, filtered);
    generation_ = live_generation();
    width_ = width;
    height_ = height;
    mipmapped_ = mipmapped;
    return true;
}

void gl_texture::upload(int x, int y, int width, int height, const std::uint8_t* rgba) {
    if (!valid() || width <= 0 || height <= 0) return;
    // Draws queued before the change must still see the old pixels.
    flush();
    glBindTexture(GL_TEXTURE_2D, name_);
    texture_binding_changed();
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    forget_kept_pairs_of(name_);
    if (mipmapped_) glGenerateMipmap(GL_TEXTURE_2D);
}

void gl_texture::release() {
    if (valid()) {
        flush();
        forget_kept_pairs_of(name_);
        texture_is_smooth(name_, false);
        glDeleteTextures(1, &name_);
        texture_binding_changed();
    }
    name_ = 0;
    generation_ = 0;
    width_ = height_ = 0;
}

}  // namespace media::backend
