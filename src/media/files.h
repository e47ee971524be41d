// Files relative to the game's folder. Paths may use backslashes ("Data\Bomb.ogg"); a folder
// name matches whatever its case on disk ("data" and "Data" name one folder).
// A written file reaches the disk only when its stream is closed: it is written under a
// temporary name, flushed and renamed over the old one, so a crash leaves the old file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

struct stream;
// Dropping a write stream without close_stream discards what was written.
struct stream_closer {
    void operator()(stream* s) const;
};
using stream_ref = std::unique_ptr<stream, stream_closer>;

void set_game_dir(const std::string& dir);  // the folder relative paths start from
const std::string& game_dir();
std::string executable_dir();                       // the folder that holds the running program
std::string resolve_path(const std::string& path);  // the path on disk for a game path

int file_type(const std::string& path);          // 0 nothing, 1 a file, 2 a folder
stream_ref read_file(const std::string& path);   // null stream when it cannot be opened
stream_ref write_file(const std::string& path);  // null stream when it cannot be created
int read_int(const stream_ref& s);  // 32-bit little-endian; bytes past the end read as 0
void write_int(const stream_ref& s, int value);
bool close_stream(stream_ref s);  // false (and logged) when the data did not reach the disk

// Reads a whole file (embedded name first, then disk). Empty when missing.
bool read_whole_file(const std::string& source, std::vector<std::uint8_t>& out);

}  // namespace media
