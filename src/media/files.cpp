#include "media/files.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "media/backend/system_files.h"
#include "media/embedded.h"
#include "media/log.h"
#include "media/platform.h"

namespace media {

namespace sys = backend::sys;

namespace {

std::optional<std::string> g_game_dir;
std::optional<std::string> g_save_dir;  // none: saves stay in the game's Data folder

bool same_ignoring_case(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string join(const std::string& base, const std::string& name) {
    if (base.empty()) return name;
    if (base.back() == '/') return base + name;
    return base + "/" + name;
}

// The entry of `dir` whose name equals `name` but for case; the first in name order when
// several do, so the choice never depends on the order the folder lists them.
std::optional<std::string> find_ignoring_case(const std::string& dir, const std::string& name) {
    const auto names = sys::folder_names(dir);
    if (!names) return std::nullopt;
    std::optional<std::string> best;
    for (const std::string& n : *names) {
        if (same_ignoring_case(name, n.c_str()) && (!best || *best > n)) best = n;
    }
    return best;
}

std::string parent_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool exists(const std::string& path) {
    return sys::path_kind(path) != sys::kind::none;
}

bool is_folder(const std::string& path) {
    return sys::path_kind(path) == sys::kind::folder;
}

// `path` (forward slashes) found from `base`, each component matched whatever its case.
std::string resolve_in(const std::string& base, const std::string& p) {
    const std::string root = sys::root_of(p);
    std::string out = root.empty() ? base : root;
    bool matching = true;  // once a component is missing, the rest cannot exist either
    std::size_t pos = root.size();
    while (pos <= p.size()) {
        std::size_t end = p.find('/', pos);
        if (end == std::string::npos) end = p.size();
        const std::string comp = p.substr(pos, end - pos);
        pos = end + 1;
        if (comp.empty() || comp == ".") continue;
        std::string next = join(out, comp);
        if (matching && comp != ".." && !exists(next)) {
            if (auto found = find_ignoring_case(out, comp)) {
                next = join(out, *found);
            } else {
                matching = false;
            }
        }
        out = std::move(next);
    }
    return out.empty() ? "." : out;
}

std::string forward_slashes(std::string p) {
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

// For a relative path inside the Data folder ("Data\hiscore.dat"), its file in the save
// folder; nothing for other paths or while saves stay beside the game.
std::optional<std::string> in_save_dir(const std::string& path) {
    if (!g_save_dir) return std::nullopt;
    const std::string p = forward_slashes(path);
    std::size_t start = 0;
    while (p.compare(start, 2, "./") == 0) start += 2;
    const std::size_t slash = p.find('/', start);
    if (p.empty() || !sys::root_of(p).empty() || slash == std::string::npos) return std::nullopt;
    if (!same_ignoring_case(p.substr(start, slash - start), "data")) return std::nullopt;
    const std::size_t rest = p.find_first_not_of('/', slash);
    if (rest == std::string::npos) return std::nullopt;  // the Data folder itself
    return resolve_in(*g_save_dir, p.substr(rest));
}

// Like mkdir -p.
bool make_folders(const std::string& dir) {
    if (dir.empty() || is_folder(dir)) return true;
    const std::string parent = parent_of(dir);
    if (parent != dir && !make_folders(parent)) return false;
    return sys::make_folder(dir);
}

}  // namespace

// A read stream reads its file directly; a write stream collects the bytes and only puts
// them on disk at close_stream, under a temporary name renamed over the target.
struct stream {
    int in_fd = -1;
    int out_fd = -1;
    std::string target, temp;
    std::vector<std::uint8_t> bytes;

    ~stream() {
        if (in_fd >= 0) sys::close_file(in_fd);
        if (out_fd >= 0) sys::close_file(out_fd);
        if (!temp.empty()) sys::remove_file(temp);
    }
};

void stream_closer::operator()(stream* s) const {
    std::default_delete<stream>()(s);
}

void set_game_dir(const std::string& dir) {
    g_game_dir = dir;
    g_save_dir.reset();
}

const std::string& game_dir() {
    if (!g_game_dir) g_game_dir = executable_dir();
    return *g_game_dir;
}

std::string executable_dir() {
    const std::string exe = sys::executable_path();
    return exe.empty() ? "." : parent_of(exe);
}

void set_save_dir(const std::string& dir) {
    g_save_dir = dir;
}

std::string save_dir() {
    return g_save_dir ? *g_save_dir : resolve_in(game_dir(), "Data");
}

std::string resolve_path(const std::string& path) {
    std::string beside = resolve_in(game_dir(), forward_slashes(path));
    if (auto saved = in_save_dir(path)) {
        // A save left in the game's Data by an older copy still loads until the first save.
        if (exists(*saved) || !exists(beside)) return *saved;
    }
    return beside;
}

std::string find_game_dir(const std::string& exe_dir, const std::string& installed) {
    if (is_folder(resolve_in(exe_dir, "Data"))) return exe_dir;
    if (installed.empty()) return exe_dir;
    const std::string there = resolve_in(exe_dir, installed);
    if (!is_folder(resolve_in(there, "Data"))) return exe_dir;
    return sys::full_path(there);
}

std::string choose_save_dir(const std::string& dir) {
    const std::string data = resolve_in(dir, "Data");
    if (is_folder(data) && sys::can_write_folder(data)) return data;
    const std::string own = sys::player_data_dir();
    return own.empty() ? data : own;  // nowhere better: saves fail and say so, the game plays on
}

int file_type(const std::string& path) {
    switch (sys::path_kind(resolve_path(path))) {
        case sys::kind::file:
            return 1;
        case sys::kind::folder:
            return 2;
        default:
            return 0;  // sockets, pipes and devices are no files the game can use
    }
}

stream_ref read_file(const std::string& path) {
    std::string why;
    const int fd = sys::open_regular(resolve_path(path), why);
    if (fd < 0) return nullptr;
    stream_ref s{std::make_unique<stream>().release()};
    s->in_fd = fd;
    return s;
}

namespace {

// A game killed mid-save leaves its temporary file behind; the next save clears those of
// games that are gone, so they never pile up. A live game's may still become its save.
void remove_dead_temps(const std::string& dir, const std::string& base) {
    const auto names = sys::folder_names(dir);
    if (!names) return;
    const std::string prefix = "." + base + ".tmp-";
    for (const std::string& name : *names) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && pid != sys::process_id() && sys::process_gone(pid)) {
            sys::remove_file(join(dir, name));
        }
    }
}

}  // namespace

stream_ref write_file(const std::string& path) {
    const auto saved = in_save_dir(path);
    if (saved && !make_folders(*g_save_dir)) return nullptr;
    const std::string target = saved ? *saved : resolve_path(path);
    const sys::kind there = sys::path_kind(target);
    if (there != sys::kind::none && there != sys::kind::file) return nullptr;

    const std::string dir = parent_of(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    remove_dead_temps(dir, base);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = join(dir, "." + base + ".tmp-" + std::to_string(sys::process_id()) +
                                         "-" + std::to_string(counter++));
        bool taken = false;
        const int fd = sys::create_new(temp, target, taken);
        if (fd < 0) {
            if (taken) continue;
            return nullptr;  // no folder, or not ours to write
        }
        stream_ref s{std::make_unique<stream>().release()};
        s->out_fd = fd;
        s->target = target;
        s->temp = std::move(temp);
        return s;
    }
    return nullptr;
}

int read_int(const stream_ref& s) {
    if (!s || s->in_fd < 0) return 0;
    unsigned char b[4] = {0, 0, 0, 0};
    std::size_t got = 0;
    std::string why;
    while (got < 4) {  // missing bytes stay 0
        const long long n = sys::read_some(s->in_fd, b + got, 4 - got, why);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    const std::uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(v);
}

void write_int(const stream_ref& s, int value) {
    if (!s || s->out_fd < 0) return;
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) s->bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool close_stream(stream_ref s, std::string& why) {
    if (!s) {
        why = "no stream";
        return false;
    }
    if (s->in_fd >= 0) return true;  // the destructor closes it
    const int fd = s->out_fd;
    s->out_fd = -1;
    std::string err;
    if (!sys::write_and_close(fd, s->bytes, err) || !sys::replace_file(s->temp, s->target, err)) {
        why = s->target + ": " + err;
        return false;
    }
    s->temp.clear();  // it is the target now
    note_file_saved(s->target);
    // The new file is in place; only its surviving a power cut is in doubt. Worth a note,
    // once, but the save is made.
    const std::string dir = parent_of(s->target);
    const std::string sync_err = sys::sync_folder(dir);
    if (!sync_err.empty()) {
        log_once("files sync " + dir, "files",
                 "saved in " + dir + ", but could not sync the folder: " + sync_err);
    }
    return true;
}

bool close_stream(stream_ref s) {
    if (!s) return false;
    std::string why;
    if (close_stream(std::move(s), why)) return true;
    log_line("files", "could not save " + why);
    return false;
}

bool read_whole_file(const std::string& source, std::vector<std::uint8_t>& out) {
    std::string why;
    return read_whole_file(source, out, SIZE_MAX, {}, why);
}

bool read_whole_file(const std::string& source, std::vector<std::uint8_t>& out,
                     std::size_t max_bytes, std::string_view magic, std::string& why) {
    out.clear();
    const auto starts_right = [&] {
        if (out.size() >= magic.size() && std::equal(magic.begin(), magic.end(), out.begin()))
            return true;
        why = "no \"" + std::string(magic) + "\" at its start";
        out.clear();
        return false;
    };
    const auto embedded = embedded_file(source);
    if (!embedded.empty()) {
        out.assign(embedded.begin(), embedded.end());
        return starts_right();
    }
    const int fd = sys::open_regular(resolve_path(source), why);
    if (fd < 0) return false;
    const auto too_large = [&] {
        why = "larger than " + std::to_string(max_bytes) + " bytes";
        return false;
    };
    const long long size = sys::file_size(fd);
    bool ok = size >= 0;
    if (ok && static_cast<std::uint64_t>(size) > max_bytes) ok = too_large();
    if (ok) out.reserve(static_cast<std::size_t>(size));
    // The first read stops after the magic, so a wrong file costs a few bytes.
    std::size_t want = magic.empty() ? 65536 : magic.size();
    bool checked = magic.empty();
    std::uint8_t buf[65536];
    while (ok) {
        const long long n = sys::read_some(fd, buf, want, why);
        if (n < 0) {
            ok = false;
        } else if (n == 0) {
            break;
        } else if (static_cast<std::size_t>(n) > max_bytes - out.size()) {
            ok = too_large();  // it grew since fstat
        } else {
            out.insert(out.end(), buf, buf + n);
            if (!checked && out.size() >= magic.size()) checked = true, ok = starts_right();
            if (checked) want = sizeof buf;
        }
    }
    sys::close_file(fd);
    if (ok && !checked) ok = starts_right();
    if (!ok) out.clear();
    return ok;
}

}  // namespace media
