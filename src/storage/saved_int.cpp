#include "storage/saved_int.h"

#include "media/files.h"
#include "media/log.h"

using namespace media;

std::optional<int> load_saved_int(const std::string& path) {
    // Anything but a regular file (a folder, say) is as good as no file.
    if (file_type(path) != 1) return std::nullopt;
    stream_ref in = read_file(path);
    if (!in) {
        log_line("save", "cannot read " + resolve_path(path));
        return std::nullopt;
    }
    const int value = read_int(in);
    close_stream(std::move(in));
    return value;
}

void save_saved_int(const std::string& path, int value, const std::string& what) {
    stream_ref out = write_file(path);
    if (!out) {
        log_line("save", "cannot write " + resolve_path(path) + ", " + what + " not saved");
        return;
    }
    write_int(out, value);
    std::string why;  // one line for one failure: the file, the reason and what was lost
    if (!close_stream(std::move(out), why))
        log_line("save", "could not write " + why + ", " + what + " not saved");
}
