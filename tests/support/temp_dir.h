// A fresh folder in the temporary folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace test_support {

// A new, empty folder in the system's temporary folder, named `prefix` and a random tail;
// empty when none could be made. (mkdtemp is POSIX only; the tests also run on Windows.)
inline std::filesystem::path make_temp_dir(const std::string& prefix) {
    static std::mt19937_64 random{std::random_device{}()};
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
        const auto path = base / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(path, ec)) return path;
    }
    return {};
}

class temp_dir {
  public:
    temp_dir() : path_(make_temp_dir("glimmerfrost-test-")) {}
    ~temp_dir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream out(path_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<unsigned char> read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::filesystem::path path_;
};

}  // namespace test_support
