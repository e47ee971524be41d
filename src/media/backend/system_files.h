// The operating system's side of the game's files: the few calls that differ between POSIX
// systems (Linux, the browser's file system) and Windows. Paths are UTF-8 with '/' between
// names (Windows takes those too); media/files.cpp builds the game's rules on top: names in
// any case, the save folder, saves that a crash cannot damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace media::backend::sys {

enum class kind { none, file, folder, other };
kind path_kind(const std::string& path);  // links followed; pipes and devices are `other`
// The root that starts an absolute path ("/", and on Windows "C:/" or "//"); empty for a
// relative one.
std::string root_of(const std::string& path);
// The names in `dir` but "." and ".."; nothing when it cannot be listed.
std::optional<std::vector<std::string>> folder_names(const std::string& dir);
// Makes one folder, private to the player where the system has such modes. True when it is
// there afterwards.
bool make_folder(const std::string& path);
std::string executable_path();                   // empty when the system will not say
std::string full_path(const std::string& path);  // absolute, links resolved; `path` on failure
bool can_write_folder(const std::string& dir);
// The game's own folder inside the player's data folder; empty when there is none.
std::string player_data_dir();
long process_id();
bool process_gone(long pid);  // false while it lives, and whenever the system cannot tell

// Reading. A descriptor of a regular file, or -1 with `why` set; a pipe or a device is
// never opened in a way that waits for a writer.
int open_regular(const std::string& path, std::string& why);
// Bytes read (0 at the end), or -1 with `why` set.
long long read_some(int fd, void* buf, std::size_t n, std::string& why);
long long file_size(int fd);  // -1 when unknown
void close_file(int fd);

// Writing. A new file that did not exist (-1 when it cannot be made; `taken` when the name
// was in use), with the permissions of `like` when that file exists.
int create_new(const std::string& path, const std::string& like, bool& taken);
// Writes everything and puts it on the disk, then closes `fd`, whatever happened.
bool write_and_close(int fd, const std::vector<std::uint8_t>& bytes, std::string& why);
// Puts `from` in the place of `to`, which may exist, in one step.
bool replace_file(const std::string& from, const std::string& to, std::string& why);
void remove_file(const std::string& path);
// The game's log. True where the game has no console to write to (a Windows program
// started from its icon), so its lines also go to a file.
bool logs_to_file();
// A file for appending lines to, emptied first when `fresh`; null when it cannot be opened.
std::FILE* open_log(const std::string& path, bool fresh);

// Makes the last replace in `dir` durable. Empty, or why it could not; systems and file
// systems that cannot sync a folder count as done.
std::string sync_folder(const std::string& dir);

}  // namespace media::backend::sys
