// The end of the player's session (logging off, shutting down), as the system announces it,
// passed on to media::session_ending() so that the saves are written before the system
// ends the game. On POSIX a logout sends SIGTERM, which SDL turns into a close, and a page
// saves when it is hidden: there is nothing more to watch.
#pragma once

struct SDL_Window;

namespace media::backend {

// Watches the game's window for the session's end.
void watch_session_end(SDL_Window* window);

}  // namespace media::backend
