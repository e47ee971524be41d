// The runner's stop requests: SIGTERM, SIGINT and SIGHUP, or on Windows the console's
// Ctrl+C, Ctrl+Break and close, ask the game to close, as the window's close button would:
// the game ends its pass, saves and the run ends as a closed one does. On POSIX a second
// signal of the same kind, should the first go unheeded, ends the process at once.
#pragma once

namespace media::backend {

// Installs the handlers, SIGTERM and SIGINT even where the runner was started with them
// ignored (a script's background job still has to stop); a SIGHUP ignored by nohup stays
// ignored. SDL must not install its own afterwards.
void catch_stop_signals();
// True once after a stop signal came in (several before one call count once).
bool take_stop_signal();

}  // namespace media::backend
