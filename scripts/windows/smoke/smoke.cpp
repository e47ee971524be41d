// Windows smoke test of the cross-built libraries, run under Wine: SDL2 (static) makes a
// hidden GL 3.3 core window through WGL, libepoxy (static) resolves the calls to clear an
// off-screen framebuffer to the first pixel of a PNG that libpng and zlib decode; FreeType
// starts; libvorbis and vorbisfile set up; OpenAL32.dll opens a device. Each line says the
// library's version, for run to compare with the sources.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <epoxy/gl.h>
#include <png.h>
#include <zlib.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>
#include <AL/al.h>
#include <AL/alc.h>
#include <cstdio>
#include <cstring>
#include <string>

static const unsigned char kPng[] = {
    137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 73, 72, 68, 82, 0, 0, 0, 2,
    0, 0, 0, 2, 8, 6, 0, 0, 0, 114, 182, 13, 36, 0, 0, 0, 22, 73, 68, 65,
    84, 120, 218, 99, 208, 168, 56, 241, 31, 4, 24, 128, 224, 255, 9, 13, 141, 255, 0, 91,
    152, 9, 122, 131, 187, 32, 17, 0, 0, 0, 0, 73, 69, 78, 68, 174, 66, 96, 130,
};

static bool ok = true;

static void line(bool good, const std::string& text) {
    std::printf("%s%s\n", good ? "" : "FAILED: ", text.c_str());
    ok = ok && good;
}

static std::string rgb(const unsigned char* p) {
    return "rgb(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," +
           std::to_string(p[2]) + ")";
}

// The game decodes with vorbisfile; its tests encode with vorbisenc.
static void check_vorbis() {
    vorbis_info vi;
    vorbis_info_init(&vi);
    bool encoder = vorbis_encode_init_vbr(&vi, 1, 22050, 0.4f) == 0;
    vorbis_info_clear(&vi);
    static const char kNotOgg[] = "not an Ogg stream at all, and long enough to tell";
    ov_callbacks nothing_more{[](void*, size_t, size_t, void*) -> size_t { return 0; }, nullptr,
                              nullptr, nullptr};
    OggVorbis_File vf;
    bool refused = ov_open_callbacks(nullptr, &vf, kNotOgg, sizeof kNotOgg, nothing_more) ==
                   OV_ENOTVORBIS;
    line(encoder && refused, std::string("Vorbis ") + vorbis_version_string());
}

static void check_gl(const unsigned char* colour) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_Window* win = SDL_CreateWindow("smoke", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext gl = win ? SDL_GL_CreateContext(win) : nullptr;
    if (!gl) {
        line(false, std::string("GL: ") + SDL_GetError());
        if (win) SDL_DestroyWindow(win);
        return;
    }
    GLuint fb = 0, rb = 0;
    glGenRenderbuffers(1, &rb);
    glBindRenderbuffer(GL_RENDERBUFFER, rb);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 4, 4);
    glGenFramebuffers(1, &fb);
    glBindFramebuffer(GL_FRAMEBUFFER, fb);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb);
    glClearColor(colour[0] / 255.f, colour[1] / 255.f, colour[2] / 255.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char px[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    bool good = epoxy_gl_version() >= 33 && !std::memcmp(px, colour, 3) &&
                glGetError() == GL_NO_ERROR;
    line(good, std::string("GL ") + reinterpret_cast<const char*>(glGetString(GL_VERSION)) +
                   "; epoxy " + std::to_string(epoxy_gl_version()) + "; cleared " + rgb(px));
    glDeleteFramebuffers(1, &fb);
    glDeleteRenderbuffers(1, &rb);
    SDL_GL_DeleteContext(gl);
    SDL_DestroyWindow(win);
}

int main() {
    SDL_SetMainReady();
    SDL_version v;
    SDL_GetVersion(&v);
    bool sdl = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    line(sdl, "SDL " + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                  std::to_string(v.patch) + (sdl ? "" : std::string(": ") + SDL_GetError()));

    line(true, std::string("zlib ") + zlibVersion());
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    unsigned char px[2 * 2 * 4] = {};
    bool png = png_image_begin_read_from_memory(&img, kPng, sizeof kPng) &&
               (img.format = PNG_FORMAT_RGBA, png_image_finish_read(&img, nullptr, px, 0, nullptr));
    line(png && img.width == 2, "PNG " + std::string(png_get_libpng_ver(nullptr)) + "; " +
                                    std::to_string(img.width) + "x" + std::to_string(img.height) +
                                    " " + rgb(px));
    if (sdl) check_gl(px);

    FT_Library ft;
    FT_Int major = 0, minor = 0, patch = 0;
    bool font = FT_Init_FreeType(&ft) == 0;
    if (font) FT_Library_Version(ft, &major, &minor, &patch);
    line(font, "FreeType " + std::to_string(major) + "." + std::to_string(minor) + "." +
                   std::to_string(patch));
    if (font) FT_Done_FreeType(ft);

    check_vorbis();

    // ALSOFT_DRIVERS=null (set by run): Wine has no sound card here.
    ALCdevice* dev = alcOpenDevice(nullptr);
    ALCcontext* ctx = dev ? alcCreateContext(dev, nullptr) : nullptr;
    bool al = ctx && alcMakeContextCurrent(ctx);
    line(al, std::string("OpenAL ") +
                 (al ? reinterpret_cast<const char*>(alGetString(AL_VERSION)) : "no device") +
                 (dev ? std::string("; device ") + alcGetString(dev, ALC_DEVICE_SPECIFIER) : ""));
    if (al) alcMakeContextCurrent(nullptr);
    if (ctx) alcDestroyContext(ctx);
    if (dev) alcCloseDevice(dev);

    SDL_Quit();
    std::printf("%s\n", ok ? "SMOKE OK" : "SMOKE FAILED");
    return ok ? 0 : 1;
}
