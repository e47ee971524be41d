// The SDL window and GL context. The desktop keeps its own mode: the game's screen is a
// picture scaled into a desktop-sized window, never a mode switch.
#include <SDL.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "media/backend/gl/gl_api.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/backend/sdl/window.h"
#include "media/backend/session_end.h"

namespace media::backend {

namespace {

struct window_state {
    SDL_Window* win = nullptr;
    SDL_GLContext ctx = nullptr;
    int screen_w = 640, screen_h = 480;
    bool gl_loaded = false;
};

window_state& ws() {
    static window_state s;
    return s;
}

bool g_headless = false;

void window_size(int& w, int& h) {
    w = h = 0;
    if (ws().win) SDL_GetWindowSize(ws().win, &w, &h);
    if (w <= 0 || h <= 0) window_drawable_size(w, h);
}

std::string sdl_error(const char* what) {
    const char* e = SDL_GetError();
    return std::string(what) + (e && *e ? std::string(": ") + e : std::string());
}

}  // namespace

bool window_open(const std::string& title, int screen_w, int screen_h, std::string& error) {
    window_close();
    window_state& s = ws();
    // Video and the GL library stay loaded once found, for the rest of the run: a display
    // closed and opened again (the tests do) then does not reload the driver each time.
    if (!s.gl_loaded) {
#ifdef SDL_MAIN_HANDLED
        SDL_SetMainReady();  // the program's own main(), not SDL's, is the entry point
#endif
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = sdl_error("no video device");
            return false;
        }
        if (SDL_GL_LoadLibrary(nullptr) != 0) {
            error = sdl_error("no OpenGL");
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        s.gl_loaded = true;
    }
    // With no X or Wayland display SDL falls back to drawing nowhere; only the runner and
    // the tests ask for that on purpose.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        !(asked && std::strcmp(asked, driver) == 0)) {
        error = "no display found (is DISPLAY or WAYLAND_DISPLAY set?)";
        return false;
    }
#ifdef __EMSCRIPTEN__
    // WebGL 2 on the page's canvas.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
#endif
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
#ifdef __EMSCRIPTEN__
    // The canvas keeps the screen's own size; the page scales it (and goes full screen).
    const Uint32 flags = SDL_WINDOW_OPENGL;
    const int win_w = screen_w, win_h = screen_h;
#else
    const Uint32 flags =
        g_headless ? SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN
                   : SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALLOW_HIGHDPI;
    // Made at the desktop's own size: without a window manager (a bare X server) the
    // full-screen request is not carried out, and the window keeps the size it was made with.
    int win_w = screen_w, win_h = screen_h;
    SDL_DisplayMode desktop;
    if (!g_headless && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 &&
        desktop.h > 0) {
        win_w = desktop.w;
        win_h = desktop.h;
    }
#endif
    s.win = SDL_CreateWindow(title.c_str(), 0, 0, win_w, win_h, flags);
    if (!s.win) {
        error = sdl_error("no window");
        return false;
    }
    watch_session_end(s.win);
    s.ctx = SDL_GL_CreateContext(s.win);
    if (!s.ctx || SDL_GL_MakeCurrent(s.win, s.ctx) != 0) {
        error = sdl_error("no OpenGL 3.3 context");
        window_close();
        return false;
    }
#ifndef __EMSCRIPTEN__
    if (epoxy_gl_version() < 33) {
        error = "OpenGL 3.3 is needed, the driver gives " + std::to_string(epoxy_gl_version());
        window_close();
        return false;
    }
#endif
    SDL_GL_SetSwapInterval(0);
    s.screen_w = screen_w;
    s.screen_h = screen_h;
    return true;
}

// SDL's offscreen driver needs EGL, which Windows lacks; there a hidden window of the
// screen's size does the same job.
void window_go_headless() {
    g_headless = true;
#ifndef _WIN32
    SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
}

bool window_is_headless() {
    const char* driver = SDL_getenv("SDL_VIDEODRIVER");
    return g_headless ||
           (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0));
}

void window_close() {
    window_state& s = ws();
    if (s.ctx) SDL_GL_DeleteContext(s.ctx);
    if (s.win) SDL_DestroyWindow(s.win);
    s.ctx = nullptr;
    s.win = nullptr;
}

bool window_is_open() {
    return ws().win != nullptr;
}

void window_set_title(const std::string& title) {
    if (ws().win) SDL_SetWindowTitle(ws().win, title.c_str());
}

void window_swap() {
    if (ws().win) SDL_GL_SwapWindow(ws().win);
}

bool window_set_vsync(bool on) {
    return ws().win && SDL_GL_SetSwapInterval(on ? 1 : 0) == 0;
}

void window_toggle_fullscreen() {
    window_state& s = ws();
    if (!s.win) return;
#ifdef __EMSCRIPTEN__
    // The page scales the canvas itself; the key press still counts as the gesture that
    // the Fullscreen API asks for.
    EM_ASM({
        if (Module.gfToggleFullscreen) Module.gfToggleFullscreen();
    });
    return;
#endif
    const bool full = (SDL_GetWindowFlags(s.win) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (!full) {
        SDL_SetWindowFullscreen(s.win, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_SetWindowFullscreen(s.win, 0);
    // A window at the largest whole scale that leaves some desktop around it.
    int k = 1;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(s.win), &mode) == 0) {
        k = std::max(1, std::min(mode.w * 9 / 10 / s.screen_w, mode.h * 9 / 10 / s.screen_h));
    }
    SDL_SetWindowSize(s.win, s.screen_w * k, s.screen_h * k);
    SDL_SetWindowPosition(s.win, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void window_show_cursor(bool on) {
    SDL_ShowCursor(on ? SDL_ENABLE : SDL_DISABLE);
}

void window_drawable_size(int& w, int& h) {
    w = h = 0;
    if (ws().win) SDL_GL_GetDrawableSize(ws().win, &w, &h);
    if (w <= 0 || h <= 0) {
        w = ws().screen_w;
        h = ws().screen_h;
    }
}

bool window_keeps_screen_size() {
#ifdef __EMSCRIPTEN__
    return true;
#else
    return false;
#endif
}

letterbox window_letterbox() {
    const int sw = ws().screen_w, sh = ws().screen_h;
    int dw = 0, dh = 0;
    window_drawable_size(dw, dh);
    letterbox lb;
    const int k = std::min(dw / sw, dh / sh);
    if (k >= 1) {
        lb.w = sw * k;
        lb.h = sh * k;
    } else {
        // A window smaller than the screen: shrink, keeping the shape.
        const double f = std::min(double(dw) / sw, double(dh) / sh);
        lb.w = std::max(1, int(sw * f));
        lb.h = std::max(1, int(sh * f));
    }
    lb.x = (dw - lb.w) / 2;
    lb.y = (dh - lb.h) / 2;
    return lb;
}

void window_to_screen(int wx, int wy, int& sx, int& sy) {
    const int sw = ws().screen_w, sh = ws().screen_h;
    int ww = 0, wh = 0, dw = 0, dh = 0;
    window_size(ww, wh);
    window_drawable_size(dw, dh);
    const letterbox lb = window_letterbox();
    // The centre of the window pixel, in drawable pixels (they differ on HiDPI).
    const double px = (wx + 0.5) * dw / ww, py = (wy + 0.5) * dh / wh;
    sx = std::clamp(int(std::floor((px - lb.x) * sw / lb.w)), 0, sw - 1);
    sy = std::clamp(int(std::floor((py - lb.y) * sh / lb.h)), 0, sh - 1);
}

void window_fraction_to_screen(float fx, float fy, int& sx, int& sy) {
    int ww = 0, wh = 0;
    window_size(ww, wh);
    const int wx = std::clamp(int(std::floor(double(fx) * ww)), 0, std::max(ww - 1, 0));
    const int wy = std::clamp(int(std::floor(double(fy) * wh)), 0, std::max(wh - 1, 0));
    window_to_screen(wx, wy, sx, sy);
}

void screen_to_window(int sx, int sy, int& wx, int& wy) {
    const int sw = ws().screen_w, sh = ws().screen_h;
    int ww = 0, wh = 0, dw = 0, dh = 0;
    window_size(ww, wh);
    window_drawable_size(dw, dh);
    const letterbox lb = window_letterbox();
    sx = std::clamp(sx, 0, sw - 1);
    sy = std::clamp(sy, 0, sh - 1);
    const double px = lb.x + (sx + 0.5) * lb.w / sw, py = lb.y + (sy + 0.5) * lb.h / sh;
    wx = std::clamp(int(std::floor(px * ww / dw)), 0, std::max(ww - 1, 0));
    wy = std::clamp(int(std::floor(py * wh / dh)), 0, std::max(wh - 1, 0));
}

void window_warp_pointer(int sx, int sy) {
    if (!ws().win) return;
    int wx = 0, wy = 0;
    screen_to_window(sx, sy, wx, wy);
    SDL_WarpMouseInWindow(ws().win, wx, wy);
}

}  // namespace media::backend
