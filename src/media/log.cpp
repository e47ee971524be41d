#include "media/log.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "media/backend/message_box.h"
#include "media/backend/system_files.h"

namespace media {

namespace {

// The log file of a game with no console: one run's lines, never more than the cap, so a
// player can attach it to a bug report.
constexpr long log_file_cap = 64 * 1024;
std::FILE* g_log_file = nullptr;
long g_log_bytes = 0;

void to_log_file(const char* text, int length) {
    if (!g_log_file || length <= 0) return;
    if (g_log_bytes + length > log_file_cap) {
        std::fputs("glimmerfrost: log: the log is full; later lines are dropped\n", g_log_file);
        std::fclose(g_log_file);
        g_log_file = nullptr;
        return;
    }
    std::fwrite(text, 1, static_cast<std::size_t>(length), g_log_file);
    std::fflush(g_log_file);
    g_log_bytes += length;
}

void write_line(const std::string& line) {
    std::fputs(line.c_str(), stderr);
    to_log_file(line.c_str(), static_cast<int>(line.size()));
}

}  // namespace

void keep_log_file(const std::string& folder) {
    if (g_log_file || !backend::sys::logs_to_file()) return;
    backend::sys::make_folder(folder);
    g_log_file = backend::sys::open_log(folder + "/glimmerfrost.log", true);
    g_log_bytes = 0;
}

void log_line(const std::string& tag, const std::string& message) {
    write_line("glimmerfrost: " + tag + ": " + message + "\n");
}

void log_once(const std::string& key, const std::string& tag, const std::string& message) {
    static std::set<std::string> seen;
    if (seen.insert(key).second) log_line(tag, message);
}

void fatal_error(const std::string& message) {
    write_line("glimmerfrost: " + message + "\n");
    // Before the box: whoever ends the program while the box is up has the message already.
    std::fflush(nullptr);
    backend::show_error_box("Glimmerfrost 3D", message);
    // No teardown and no atexit handlers: nothing of the game may run after a broken start.
    std::_Exit(1);
}

}  // namespace media
