#include "media/backend/message_box.h"
#include "media/backend/sdl/window.h"

#include <SDL2/SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace media::backend {

namespace {

// The process group that shows the box (SDL may hand the box to a process of its own, such
// as zenity, which would outlive the game); 0 while there is none.
volatile std::sig_atomic_t g_box_group = 0;

// The message is already on stderr; a stop signal takes the box away with the game.
void on_stop_signal(int) {
    if (g_box_group > 0) kill(-static_cast<pid_t>(g_box_group), SIGKILL);
    _exit(1);
}

void set_stop_handlers(void (*handler)(int)) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction old {};
        // A SIGHUP ignored by nohup stays ignored.
        if (sig == SIGHUP && sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction act {};
        act.sa_handler = handler;
        sigemptyset(&act.sa_mask);
        sigaction(sig, &act, nullptr);
    }
}

void show_box(const std::string& title, const std::string& message) {
    // Fails quietly when no display can be reached.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), nullptr);
}

}  // namespace

void show_error_box(const std::string& title, const std::string& message) {
    if (window_is_headless()) return;
    // SDL's own handlers would only queue a quit event that no one reads while the box is up.
    // The box gets a process group of its own, so that a stop signal can end all of it; the
    // signals wait until the game knows that group.
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, sig);
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    set_stop_handlers(on_stop_signal);
    const pid_t box = fork();
    if (box == 0) {
        setpgid(0, 0);
        set_stop_handlers(SIG_DFL);
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        show_box(title, message);
        _exit(0);
    }
    if (box > 0) {
        setpgid(box, box);
        g_box_group = box;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (box < 0) {
        show_box(title, message);  // no process to spare: a signal may leave the box behind
        return;
    }
    while (waitpid(box, nullptr, 0) < 0 && errno == EINTR) {
    }
    g_box_group = 0;
}

}  // namespace media::backend
