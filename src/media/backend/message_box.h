// The error box of a broken start. It blocks until its button is pressed, yet SIGTERM,
// SIGINT and SIGHUP still end the process (status 1) while it is up: scripts and CI have
// no one to press the button.
#pragma once

#include <string>

namespace media::backend {

// Shows `message` titled `title` and waits for it to be closed. Shows nothing when no
// display can be reached, or when a headless video driver was asked for (the runner, the
// tests), where no one could close it.
void show_error_box(const std::string& title, const std::string& message);

}  // namespace media::backend
