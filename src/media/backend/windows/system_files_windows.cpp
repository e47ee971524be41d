// The files' system calls on Windows: wide-character paths (the narrow calls would use the
// ANSI code page), binary mode everywhere, and a replace that Windows makes in one step.
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "media/backend/system_files.h"
#include "media/backend/windows/wide_text.h"

namespace media::backend::sys {

namespace {

std::string error_text(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = n ? narrow(std::wstring(text, n)) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) {
        out.pop_back();
    }
    return out;
}

HANDLE handle_of(int fd) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

}  // namespace

kind path_kind(const std::string& path) {
    const DWORD attrs = GetFileAttributesW(widen(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return kind::none;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) return kind::folder;
    if (attrs & FILE_ATTRIBUTE_DEVICE) return kind::other;
    return kind::file;
}

std::string root_of(const std::string& path) {
    auto slash = [](char c) { return c == '/' || c == '\\'; };
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        slash(path[2])) {
        return path.substr(0, 2) + "/";
    }
    if (path.size() >= 2 && slash(path[0]) && slash(path[1])) return "//";
    if (!path.empty() && slash(path[0])) return "/";
    return {};
}

std::optional<std::vector<std::string>> folder_names(const std::string& dir) {
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileW(widen((dir.empty() ? "." : dir) + "/*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<std::string> names;
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

bool make_folder(const std::string& path) {
    return CreateDirectoryW(widen(path).c_str(), nullptr) || path_kind(path) == kind::folder;
}

std::string executable_path() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return forward_slashes(narrow(buf.substr(0, n)));
        buf.resize(buf.size() * 2);
    }
}

std::string full_path(const std::string& path) {
    const std::wstring wide = widen(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring buf(n, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), n, buf.data(), nullptr);
    if (got == 0 || got >= n) return path;
    return forward_slashes(narrow(buf.substr(0, got)));
}

// Folder permissions on Windows live in access lists that no mode bit shows; making a file
// is the one sure test. (An unzipped game can write its folder; one under Program Files
// cannot.)
bool can_write_folder(const std::string& dir) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string probe =
            dir + "/.write-probe-" + std::to_string(process_id()) + "-" + std::to_string(attempt);
        const HANDLE h = CreateFileW(widen(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

// The roaming application-data folder, where Windows games keep what follows the player.
std::string player_data_dir() {
    wchar_t* folder = nullptr;
    std::string out;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK) {
        out = forward_slashes(narrow(folder)) + "/Glimmerfrost 3D";
    }
    CoTaskMemFree(folder);
    return out;
}

long process_id() {
    return static_cast<long>(GetCurrentProcessId());
}

bool process_gone(long pid) {
    const HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!h) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    DWORD code = 0;
    const bool gone = GetExitCodeProcess(h, &code) && code != STILL_ACTIVE;
    CloseHandle(h);
    return gone;
}

int open_regular(const std::string& path, std::string& why) {
    if (path_kind(path) == kind::folder) {
        why = "not a regular file";
        return -1;
    }
    const int fd = _wopen(widen(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    if (GetFileType(handle_of(fd)) != FILE_TYPE_DISK) {
        _close(fd);
        why = "not a regular file";
        return -1;
    }
    return fd;
}

long long read_some(int fd, void* buf, std::size_t n, std::string& why) {
    const int got = _read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1 << 30)));
    if (got < 0) why = std::strerror(errno);
    return got;
}

long long file_size(int fd) {
    return _filelengthi64(fd);
}

void close_file(int fd) {
    _close(fd);
}

// Windows has no mode bits to keep; `like` matters only on POSIX.
int create_new(const std::string& path, const std::string&, bool& taken) {
    const int fd =
        _wopen(widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
    taken = fd < 0 && errno == EEXIST;
    return fd;
}

bool write_and_close(int fd, const std::vector<std::uint8_t>& bytes, std::string& why) {
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0) {
            why = n < 0 ? std::strerror(errno) : "nothing written";
            ok = false;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (ok && !FlushFileBuffers(handle_of(fd))) {
        why = error_text(GetLastError());
        ok = false;
    }
    if (_close(fd) != 0 && ok) {
        why = std::strerror(errno);
        ok = false;
    }
    return ok;
}

// Write-through: the move is on the disk before the call returns.
bool replace_file(const std::string& from, const std::string& to, std::string& why) {
    if (MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    why = error_text(GetLastError());
    return false;
}

void remove_file(const std::string& path) {
    DeleteFileW(widen(path).c_str());
}

// The game is linked as a GUI program: started from its icon it has no console, and its
// stderr goes nowhere.
bool logs_to_file() {
    return GetConsoleWindow() == nullptr;
}

std::FILE* open_log(const std::string& path, bool fresh) {
    return _wfopen(widen(path).c_str(), fresh ? L"wb" : L"ab");
}

// MOVEFILE_WRITE_THROUGH already made the move durable.
std::string sync_folder(const std::string&) {
    return {};
}

}  // namespace media::backend::sys
