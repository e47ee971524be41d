// A console program's stop requests: Ctrl+C, Ctrl+Break, and the console closing, logging
// off or shutting down. Windows calls the handler on a thread of its own.
#include <SDL.h>
#include <windows.h>

#include <atomic>

#include "media/backend/stop_signal.h"

namespace media::backend {

namespace {

std::atomic<bool> g_caught{false};

BOOL WINAPI on_console_event(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            g_caught.store(true, std::memory_order_relaxed);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void catch_stop_signals() {
    SDL_setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    // A process started with Ctrl+C ignored would otherwise keep ignoring it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool take_stop_signal() {
    return g_caught.exchange(false, std::memory_order_relaxed);
}

}  // namespace media::backend
