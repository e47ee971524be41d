// Browser smoke test of the WebAssembly libraries: a WebGL 2 context through SDL, cleared to
// the first pixel of a 2x2 PNG decoded from memory by libpng, a FreeType face loaded from a
// preloaded file, and an OpenAL device. It writes what worked into the page's #result.
#include <SDL.h>
#include <GLES3/gl3.h>
#include <png.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <AL/alc.h>
#include <emscripten.h>
#include <string>

static const unsigned char kPng[] = {
    137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 73, 72, 68, 82, 0, 0, 0, 2,
    0, 0, 0, 2, 8, 6, 0, 0, 0, 114, 182, 13, 36, 0, 0, 0, 22, 73, 68, 65,
    84, 120, 218, 99, 208, 168, 56, 241, 31, 4, 24, 128, 224, 255, 9, 13, 141, 255, 0, 91,
    152, 9, 122, 131, 187, 32, 17, 0, 0, 0, 0, 73, 69, 78, 68, 174, 66, 96, 130,
};

int main() {
    std::string out;
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_Window* win = SDL_CreateWindow("smoke", 0, 0, 320, 240, SDL_WINDOW_OPENGL);
    SDL_GLContext gl = win ? SDL_GL_CreateContext(win) : nullptr;
    out += gl ? std::string("GL ") + (const char*)glGetString(GL_VERSION) : "GL failed";

    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    unsigned char px[2 * 2 * 4] = {};
    bool png = png_image_begin_read_from_memory(&img, kPng, sizeof kPng) &&
               (img.format = PNG_FORMAT_RGBA, png_image_finish_read(&img, nullptr, px, 0, nullptr));
    out += png ? "; PNG " + std::to_string(img.width) + "x" + std::to_string(img.height) +
                     " rgb(" + std::to_string(px[0]) + "," + std::to_string(px[1]) + "," +
                     std::to_string(px[2]) + ")" : "; PNG failed";

    FT_Library ft;
    FT_Face face;
    bool font = !FT_Init_FreeType(&ft) && !FT_New_Face(ft, "/DejaVuSans.ttf", 0, &face) &&
                !FT_Set_Pixel_Sizes(face, 0, 32) && !FT_Load_Char(face, 'A', FT_LOAD_RENDER);
    out += font ? std::string("; FreeType ") + face->family_name + " 'A' " +
                      std::to_string(face->glyph->bitmap.width) + "x" +
                      std::to_string(face->glyph->bitmap.rows) : "; FreeType failed";

    ALCdevice* dev = alcOpenDevice(nullptr);
    ALCcontext* ctx = dev ? alcCreateContext(dev, nullptr) : nullptr;
    out += ctx ? std::string("; OpenAL ") + alcGetString(dev, ALC_DEVICE_SPECIFIER) : "; OpenAL failed";

    for (int frame = 0; gl && frame < 30; ++frame) {  // SDL_Delay yields to the page (ASYNCIFY)
        glClearColor(px[0] / 255.f, px[1] / 255.f, px[2] / 255.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(win);
        SDL_Delay(16);
    }
    out += (gl && png && font && ctx) ? "; SMOKE OK" : "; SMOKE FAILED";
    EM_ASM({ document.getElementById('result').textContent = UTF8ToString($0); }, out.c_str());
    return 0;
}
