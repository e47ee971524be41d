// One tagged line per event on stderr ("audio: no output device, playing silent"), and the
// one fatal path for a broken start (message box when one can be shown, exit status 1).
#pragma once

#include <string>

namespace media {

void log_line(const std::string& tag, const std::string& message);
// Logs only the first time this key is seen (e.g. one line per missing file).
void log_once(const std::string& key, const std::string& tag, const std::string& message);
[[noreturn]] void fatal_error(const std::string& message);
// Where the game has no console (Windows), its lines also go to glimmerfrost.log in
// `folder`, begun afresh each run and capped in size. Elsewhere stderr is enough.
void keep_log_file(const std::string& folder);

}  // namespace media
