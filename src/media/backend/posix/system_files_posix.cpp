#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/backend/system_files.h"

namespace media::backend::sys {

kind path_kind(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return kind::none;
    if (S_ISREG(st.st_mode)) return kind::file;
    if (S_ISDIR(st.st_mode)) return kind::folder;
    return kind::other;
}

std::string root_of(const std::string& path) {
    return !path.empty() && path[0] == '/' ? "/" : "";
}

std::optional<std::vector<std::string>> folder_names(const std::string& dir) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            names.emplace_back(e->d_name);
        }
    }
    ::closedir(d);
    return names;
}

// XDG asks that the player's data folder be private.
bool make_folder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0 || path_kind(path) == kind::folder;
}

std::string executable_path() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string full_path(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// Root may write anywhere; access() knows that, and about read-only mounts too.
bool can_write_folder(const std::string& dir) {
    return ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// XDG: an empty or relative XDG_DATA_HOME is to be ignored.
std::string player_data_dir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/glimmerfrost";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/glimmerfrost";
    return {};
}

long process_id() {
    return static_cast<long>(::getpid());
}

bool process_gone(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Opened without waiting: a pipe with no writer would block open for ever.
int open_regular(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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

long long read_some(int fd, void* buf, std::size_t n, std::string& why) {
    for (;;) {
        const ssize_t got = ::read(fd, buf, n);
        if (got >= 0) return got;
        if (errno != EINTR) {
            why = std::strerror(errno);
            return -1;
        }
    }
}

long long file_size(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

void close_file(int fd) {
    ::close(fd);
}

int create_new(const std::string& path, const std::string& like, bool& taken) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    taken = fd < 0 && errno == EEXIST;
    struct stat st {};
    if (fd >= 0 && ::stat(like.c_str(), &st) == 0) {
        (void)::fchmod(fd, st.st_mode & 07777);  // the save keeps its permissions
    }
    return fd;
}

bool write_and_close(int fd, const std::vector<std::uint8_t>& bytes, std::string& why) {
    int err = 0;
    std::size_t done = 0;
    while (done < bytes.size() && err == 0) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) err = n < 0 ? errno : EIO;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) why = std::strerror(err);
    return err == 0;
}

bool replace_file(const std::string& from, const std::string& to, std::string& why) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    why = std::strerror(errno);
    return false;
}

void remove_file(const std::string& path) {
    (void)::unlink(path.c_str());
}

bool logs_to_file() {
    return false;  // stderr reaches the terminal or the session's journal
}

std::FILE* open_log(const std::string& path, bool fresh) {
    return std::fopen(path.c_str(), fresh ? "wb" : "ab");
}

std::string sync_folder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const int err = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS ? 0 : errno;
    ::close(fd);
    return err == 0 ? std::string() : std::strerror(err);
}

}  // namespace media::backend::sys
