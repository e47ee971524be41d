// Files relative to the game's folder. Paths may use backslashes ("Data\Bomb.ogg"); a folder
// name matches whatever its case on disk ("data" and "Data" name one folder).
// A written file reaches the disk only when its stream is closed: it is written under a
// temporary name, flushed and renamed over the old one, so a crash leaves the old file.
// A save folder set apart from the game (an installed game may not write its own Data)
// stands in for the Data folder: a path inside Data ("Data\hiscore.dat") is read from the
// file directly in the save folder first, else from the game's Data, and is always
// written to the save folder, which is made when needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace media {

struct stream;
// Dropping a write stream without close_stream discards what was written.
struct stream_closer {
    void operator()(stream* s) const;
};
using stream_ref = std::unique_ptr<stream, stream_closer>;

// The folder relative paths start from; saves go back to its own Data folder.
void set_game_dir(const std::string& dir);
const std::string& game_dir();
void set_save_dir(const std::string& dir);  // the folder saved files go to from now on
std::string save_dir();                     // the game's Data folder unless set_save_dir moved it
std::string executable_dir();               // the folder that holds the running program
// The path on disk a read of a game path uses: inside Data, the save folder's file unless
// only the game's Data has one.
std::string resolve_path(const std::string& path);

// The game's folder for a program in `exe_dir`: that folder when it has a Data folder (a
// build or a portable copy), else `exe_dir`/`installed` when that has one (an installed
// game), else `exe_dir`.
std::string find_game_dir(const std::string& exe_dir, const std::string& installed);
// Where the game in `dir` keeps its saves: its Data folder when that can be written, else
// $XDG_DATA_HOME/glimmerfrost, else $HOME/.local/share/glimmerfrost. Creates nothing.
std::string choose_save_dir(const std::string& dir);

int file_type(const std::string& path);  // 0 nothing, 1 a file, 2 a folder
// Null stream when it cannot be opened or is no regular file: a pipe or a device is never
// opened in a way that could wait for a writer.
stream_ref read_file(const std::string& path);
stream_ref write_file(const std::string& path);  // null stream when it cannot be created
int read_int(const stream_ref& s);  // 32-bit little-endian; bytes past the end read as 0
void write_int(const stream_ref& s, int value);
// False (and logged) when the data did not reach the disk. Once the new file has replaced
// the old one the save counts as made, even where its folder cannot be synced.
bool close_stream(stream_ref s);
// The same without the log line: `why` names the file and the failure, for the caller's one.
bool close_stream(stream_ref s, std::string& why);

// Reads a whole file (embedded name first, then disk). Empty when missing.
bool read_whole_file(const std::string& source, std::vector<std::uint8_t>& out);
// The same for a file of a known kind: at most `max_bytes`, opening with `magic`. False, with
// `why` set, when it is missing, no regular file, larger, of another kind or unreadable; a
// file that is too large or of another kind is read no further than it takes to tell.
bool read_whole_file(const std::string& source, std::vector<std::uint8_t>& out,
                     std::size_t max_bytes, std::string_view magic, std::string& why);

}  // namespace media
