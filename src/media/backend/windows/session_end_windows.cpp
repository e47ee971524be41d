// Windows ends a session with WM_QUERYENDSESSION, then WM_ENDSESSION; once a window has
// answered the second, the system may end the process at any moment, so the game's next
// pass may never come. SDL passes neither on, and they are sent straight to the window's
// procedure, so the window's procedure is wrapped. It runs on the game's own thread, inside
// its event pump, between two passes, where saving is safe.
#include <SDL.h>
#include <SDL_syswm.h>
#include <windows.h>

#include "media/backend/session_end.h"
#include "media/platform.h"

namespace media::backend {

namespace {

WNDPROC g_sdl_proc = nullptr;

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ENDSESSION && wparam != 0) session_ending();
    return CallWindowProcW(g_sdl_proc, hwnd, message, wparam, lparam);
}

}  // namespace

void watch_session_end(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
    const HWND hwnd = info.info.win.window;
    const auto ours = reinterpret_cast<LONG_PTR>(&window_proc);
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == ours) return;
    g_sdl_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ours));
}

}  // namespace media::backend
