#include "media/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "media/embedded.h"
#include "media/log.h"
#include "media/platform.h"

namespace media {

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
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* e = readdir(d)) {
        if (same_ignoring_case(name, e->d_name) && (!best || *best > e->d_name)) best = e->d_name;
    }
    closedir(d);
    return best;
}

std::string parent_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// `path` (forward slashes) found from `base`, each component matched whatever its case.
std::string resolve_in(const std::string& base, const std::string& p) {
    std::string out = (!p.empty() && p[0] == '/') ? "/" : base;
    bool matching = true;  // once a component is missing, the rest cannot exist either
    std::size_t pos = 0;
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
    if (p.empty() || p[0] == '/' || slash == std::string::npos) return std::nullopt;
    if (!same_ignoring_case(p.substr(start, slash - start), "data")) return std::nullopt;
    const std::size_t rest = p.find_first_not_of('/', slash);
    if (rest == std::string::npos) return std::nullopt;  // the Data folder itself
    return resolve_in(*g_save_dir, p.substr(rest));
}

// Like mkdir -p. Made folders are private to the player, as XDG asks of its data folder.
bool make_folders(const std::string& dir) {
    if (dir.empty() || is_folder(dir)) return true;
    const std::string parent = parent_of(dir);
    if (parent != dir && !make_folders(parent)) return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

// A read stream reads its file directly; a write stream collects the bytes and only puts
// them on disk at close_stream, under a temporary name renamed over the target.
struct stream {
    std::FILE* in = nullptr;
    int out_fd = -1;
    std::string target, temp;
    std::vector<std::uint8_t> bytes;

    ~stream() {
        if (in) std::fclose(in);
        if (out_fd >= 0) ::close(out_fd);
        if (!temp.empty()) ::unlink(temp.c_str());
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
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    return parent_of(std::string(buf, static_cast<std::size_t>(n)));
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
    char buf[PATH_MAX];
    return ::realpath(there.c_str(), buf) ? std::string(buf) : there;
}

std::string choose_save_dir(const std::string& dir) {
    const std::string data = resolve_in(dir, "Data");
    // Root may write anywhere; access() knows that, and about read-only mounts too.
    if (is_folder(data) && ::faccessat(AT_FDCWD, data.c_str(), W_OK | X_OK, AT_EACCESS) == 0) {
        return data;
    }
    // XDG: an empty or relative XDG_DATA_HOME is to be ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return join(xdg, "glimmerfrost");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return join(home, ".local/share/glimmerfrost");
    return data;  // nowhere better: saves fail and say so, the game plays on
}

int file_type(const std::string& path) {
    struct stat st {};
    if (::stat(resolve_path(path).c_str(), &st) != 0) return 0;
    if (S_ISREG(st.st_mode)) return 1;
    if (S_ISDIR(st.st_mode)) return 2;
    return 0;  // sockets, pipes and devices are no files the game can use
}

namespace {

// A descriptor for reading `disk_path`, or -1 with `why` set. Opened without waiting: a
// pipe with no writer would block open for ever, and devices and pipes are no files the
// game can use anyway.
int open_regular(const std::string& disk_path, std::string& why) {
    const int fd = ::open(disk_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

}  // namespace

stream_ref read_file(const std::string& path) {
    std::string why;
    const int fd = open_regular(resolve_path(path), why);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    stream_ref s{std::make_unique<stream>().release()};
    s->in = f;
    return s;
}

namespace {

// A game killed mid-save leaves its temporary file behind; the next save clears those of
// games that are gone, so they never pile up. A live game's may still become its save.
void remove_dead_temps(const std::string& dir, const std::string& base) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const std::string prefix = "." + base + ".tmp-";
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            (void)::unlink(join(dir, name).c_str());
        }
    }
    closedir(d);
}

}  // namespace

stream_ref write_file(const std::string& path) {
    const auto saved = in_save_dir(path);
    if (saved && !make_folders(*g_save_dir)) return nullptr;
    const std::string target = saved ? *saved : resolve_path(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return nullptr;

    const std::string dir = parent_of(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    remove_dead_temps(dir, base);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = join(dir, "." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(counter++));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;  // no folder, or not ours to write
        }
        if (exists) (void)::fchmod(fd, st.st_mode & 07777);  // the save keeps its permissions
        stream_ref s{std::make_unique<stream>().release()};
        s->out_fd = fd;
        s->target = target;
        s->temp = std::move(temp);
        return s;
    }
    return nullptr;
}

int read_int(const stream_ref& s) {
    if (!s || !s->in) return 0;
    unsigned char b[4] = {0, 0, 0, 0};
    (void)std::fread(b, 1, 4, s->in);  // missing bytes stay 0
    const std::uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(v);
}

void write_int(const stream_ref& s, int value) {
    if (!s || s->out_fd < 0) return;
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) s->bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

namespace {

bool write_all(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable. Some file systems cannot sync a folder; that is no
// reason to call the save failed.
// 0, or the errno of the failure.
int sync_folder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int err = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
    ::close(fd);
    return err;
}

}  // namespace

bool close_stream(stream_ref s, std::string& why) {
    if (!s) {
        why = "no stream";
        return false;
    }
    if (s->in) return true;  // the destructor closes it
    const int fd = s->out_fd;
    s->out_fd = -1;
    int err = 0;
    if (!write_all(fd, s->bytes) || ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(s->temp.c_str(), s->target.c_str()) != 0) err = errno;
    if (err != 0) {
        why = s->target + ": " + std::strerror(err);
        return false;
    }
    s->temp.clear();  // it is the target now
    note_file_saved(s->target);
    // The new file is in place; only its surviving a power cut is in doubt. Worth a note,
    // once, but the save is made.
    const std::string dir = parent_of(s->target);
    if (const int sync_err = sync_folder(dir)) {
        log_once("files sync " + dir, "files",
                 "saved in " + dir + ", but could not sync the folder: " + std::strerror(sync_err));
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
    const int fd = open_regular(resolve_path(source), why);
    if (fd < 0) return false;
    struct stat st {};
    const auto too_large = [&] {
        why = "larger than " + std::to_string(max_bytes) + " bytes";
        return false;
    };
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && static_cast<std::uint64_t>(st.st_size) > max_bytes) ok = too_large();
    if (ok) out.reserve(static_cast<std::size_t>(st.st_size));
    // The first read stops after the magic, so a wrong file costs a few bytes.
    std::size_t want = magic.empty() ? 65536 : magic.size();
    bool checked = magic.empty();
    std::uint8_t buf[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::strerror(errno);
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
    ::close(fd);
    if (ok && !checked) ok = starts_right();
    if (!ok) out.clear();
    return ok;
}

}  // namespace media
