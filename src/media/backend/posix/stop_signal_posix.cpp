#include <SDL2/SDL.h>
#include <signal.h>

#include <atomic>
#include <initializer_list>

#include "media/backend/stop_signal.h"

namespace media::backend {

namespace {

std::atomic<bool> g_caught{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a handler may only touch a lock-free flag");

void on_stop_signal(int) {
    g_caught.store(true, std::memory_order_relaxed);
}

}  // namespace

void catch_stop_signals() {
    // SDL would turn the signals into quit events that nothing in the runner reads.
    SDL_setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction old {};
        if (sig == SIGHUP && sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction act {};
        act.sa_handler = on_stop_signal;
        sigemptyset(&act.sa_mask);
        act.sa_flags = SA_RESTART | SA_RESETHAND;
        sigaction(sig, &act, nullptr);
    }
}

bool take_stop_signal() {
    return g_caught.exchange(false, std::memory_order_relaxed);
}

}  // namespace media::backend
