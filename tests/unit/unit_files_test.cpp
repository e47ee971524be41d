// Files the game reads and writes: path translation, read_int at the end of a file, and
// saves that never leave a damaged file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "media/embedded.h"
#include "media/files.h"
#include "media/log.h"

namespace fs = std::filesystem;

namespace {

// Runs `reads` on a thread of its own and says whether they ended by themselves. A read
// blocked on a pipe waits for a writer; after a deadline far longer than any read takes,
// opening the pipes' write ends lets such a reader go, so the test ends either way. (Looking
// for readers sooner would also find the game's own quick non-blocking look at a pipe.)
bool ends_without_a_writer(const std::vector<std::string>& pipes,
                           const std::function<void()>& reads) {
    std::atomic<bool> done{false};
    std::thread reader([&] {
        reads();
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const bool by_themselves = done;
    while (!done) {
        for (const std::string& p : pipes) {
            const int fd = ::open(p.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader.join();
    return by_themselves;
}

class unit_files : public testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gf_unit_files_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
        media::set_game_dir(dir);
    }
    void TearDown() override {
        ::chmod(dir.c_str(), 0755);
        fs::remove_all(dir);
        media::set_game_dir(media::executable_dir());
    }

    void put(const std::string& rel, const std::vector<unsigned char>& bytes) {
        fs::create_directories(fs::path(dir + "/" + rel).parent_path());
        std::ofstream f(dir + "/" + rel, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<unsigned char> get(const std::string& rel) {
        std::ifstream f(dir + "/" + rel, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    int entries(const std::string& rel) {
        int n = 0;
        for (auto it = fs::directory_iterator(dir + "/" + rel); it != fs::directory_iterator();
             ++it)
            ++n;
        return n;
    }

    std::string dir;
};

TEST_F(unit_files, read_int_reads_little_endian_and_zero_past_the_end) {
    put("empty.dat", {});
    put("two.dat", {0x10, 0x27});
    put("four.dat", {0xFE, 0xFF, 0xFF, 0xFF});
    put("five.dat", {0x78, 0x56, 0x34, 0x12, 0x7F});

    auto s = media::read_file("empty.dat");
    ASSERT_TRUE(s);
    EXPECT_EQ(0, media::read_int(s)) << "an empty file reads 0";

    s = media::read_file("two.dat");
    EXPECT_EQ(10000, media::read_int(s)) << "two bytes are the low-order bytes";
    EXPECT_EQ(0, media::read_int(s));

    s = media::read_file("four.dat");
    EXPECT_EQ(-2, media::read_int(s));
    EXPECT_EQ(0, media::read_int(s)) << "at the end: 0";
    EXPECT_EQ(0, media::read_int(s)) << "and 0 on every later call";

    s = media::read_file("five.dat");
    EXPECT_EQ(0x12345678, media::read_int(s));
    EXPECT_EQ(0x7F, media::read_int(s)) << "the one byte left";
    EXPECT_EQ(0, media::read_int(s));
    EXPECT_TRUE(media::close_stream(std::move(s)));

    EXPECT_FALSE(media::read_file("missing.dat"));
    EXPECT_EQ(0, media::read_int(nullptr));
}

TEST_F(unit_files, written_ints_round_trip) {
    auto w = media::write_file("save.dat");
    ASSERT_TRUE(w);
    media::write_int(w, 123456);
    media::write_int(w, -7);
    EXPECT_TRUE(media::close_stream(std::move(w)));
    EXPECT_EQ((std::vector<unsigned char>{0x40, 0xE2, 0x01, 0x00, 0xF9, 0xFF, 0xFF, 0xFF}),
              get("save.dat"));

    auto r = media::read_file("save.dat");
    EXPECT_EQ(123456, media::read_int(r));
    EXPECT_EQ(-7, media::read_int(r));
    media::write_int(r, 5);  // a read stream takes no writes
    EXPECT_EQ(0, media::read_int(r));
    EXPECT_EQ(1, entries("")) << "no temporary file may stay behind";
}

TEST_F(unit_files, a_save_reaches_the_disk_only_when_closed) {
    put("hi.dat", {1, 0, 0, 0});
    {
        auto w = media::write_file("hi.dat");
        ASSERT_TRUE(w);
        media::write_int(w, 99);
        EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), get("hi.dat"))
            << "the old file stays until the stream is closed";
    }  // dropped without close_stream
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), get("hi.dat"));
    EXPECT_EQ(1, entries("")) << "a dropped stream must remove its temporary file";

    // The rename fails when a folder has taken the file's name: one line, old state kept.
    auto w = media::write_file("gone.dat");
    ASSERT_TRUE(w);
    media::write_int(w, 5);
    put("gone.dat/inside", {7});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(media::close_stream(std::move(w)));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, err.find("glimmerfrost: files: ")) << "got: " << err;
    EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << "expected one line, got: " << err;
    EXPECT_EQ(2, entries("")) << "the failed save must remove its temporary file";
    EXPECT_FALSE(media::close_stream(nullptr));
}

TEST_F(unit_files, no_stream_where_the_file_cannot_be_made) {
    EXPECT_FALSE(media::write_file("nofolder\\hi.dat")) << "the folder must exist";
    fs::create_directory(dir + "/taken");
    EXPECT_FALSE(media::write_file("taken")) << "a folder is not a file to write";

    put("ro/hi.dat", {3, 0, 0, 0});
    ::chmod((dir + "/ro").c_str(), 0555);
    // Root writes anywhere; only check the refusal where the system really refuses.
    const bool refused = ::access((dir + "/ro").c_str(), W_OK) != 0;
    auto w = media::write_file("ro\\hi.dat");
    if (refused) {
        EXPECT_FALSE(w) << "a read-only folder gives no stream";
    } else if (w) {
        media::write_int(w, 4);
        EXPECT_TRUE(media::close_stream(std::move(w)));
    }
    ::chmod((dir + "/ro").c_str(), 0755);
    EXPECT_EQ(refused ? 3 : 4, get("ro/hi.dat")[0]);
}

TEST_F(unit_files, game_paths_take_backslashes_and_any_case) {
    put("Data/Sub/Tone.ogg", {1, 2, 3});
    EXPECT_EQ(dir + "/Data/Sub/Tone.ogg", media::resolve_path("data\\SUB\\tone.OGG"));
    EXPECT_EQ(1, media::file_type("Data\\Sub\\Tone.ogg"));
    EXPECT_EQ(1, media::file_type("data\\sub\\tone.ogg"));
    EXPECT_EQ(2, media::file_type("data"));
    EXPECT_EQ(2, media::file_type("DATA\\sub\\"));
    EXPECT_EQ(0, media::file_type("data\\nothing.dat"));
    EXPECT_EQ(0, media::file_type("nothing\\Sub"));

    // Absolute paths are not taken from the game's folder.
    EXPECT_EQ(dir + "/Data/Sub/Tone.ogg", media::resolve_path(dir + "/data/sub/tone.ogg"));

    // A new file lands in the folder that is there, whatever case the game wrote.
    auto w = media::write_file("DATA\\new.dat");
    ASSERT_TRUE(w);
    EXPECT_TRUE(media::close_stream(std::move(w)));
    EXPECT_TRUE(fs::exists(dir + "/Data/new.dat"));
    EXPECT_EQ(1, entries("")) << "no second data folder";

    // The exact name wins when both exist.
    put("data/x.dat", {9});
    EXPECT_EQ(dir + "/data/x.dat", media::resolve_path("data\\x.dat"));
    EXPECT_EQ(dir + "/Data/new.dat", media::resolve_path("Data\\new.dat"));

    ::mkfifo((dir + "/pipe").c_str(), 0644);
    EXPECT_EQ(0, media::file_type("pipe")) << "a pipe is no file the game can use";
    EXPECT_FALSE(media::write_file("pipe"));
}

TEST_F(unit_files, whole_files_come_from_the_executable_first) {
    put("Data/a.bin", {4, 5, 6});
    std::vector<std::uint8_t> out{1};
    EXPECT_TRUE(media::read_whole_file("data\\a.bin", out));
    EXPECT_EQ((std::vector<std::uint8_t>{4, 5, 6}), out);
    EXPECT_FALSE(media::read_whole_file("data\\missing.bin", out));
    EXPECT_TRUE(out.empty());

    static const std::uint8_t inside[] = {42, 43};
    media::register_embedded_file("unit_files_inside.png", inside, sizeof inside);
    put("unit_files_inside.png", {1});
    EXPECT_TRUE(media::read_whole_file("unit_files_inside.png", out));
    EXPECT_EQ((std::vector<std::uint8_t>{42, 43}), out);
}

TEST_F(unit_files, pipes_and_devices_are_refused_without_waiting_for_a_writer) {
    ASSERT_EQ(0, ::mkfifo((dir + "/Data.pipe").c_str(), 0644));
    fs::create_directory(dir + "/Data");
    ASSERT_EQ(0, ::mkfifo((dir + "/Data/Bomb.ogg").c_str(), 0644));
    std::vector<std::uint8_t> out{1};
    std::string why;
    const bool ended = ends_without_a_writer({dir + "/Data.pipe", dir + "/Data/Bomb.ogg"}, [&] {
        EXPECT_FALSE(media::read_file("Data.pipe"));
        EXPECT_FALSE(media::read_whole_file("data\\bomb.ogg", out));
        EXPECT_FALSE(media::read_whole_file("Data\\Bomb.ogg", out, 1 << 20, "OggS", why));
        EXPECT_EQ("not a regular file", why);
        EXPECT_TRUE(out.empty());
        EXPECT_FALSE(media::read_whole_file("/dev/zero", out, 1 << 20, "", why))
            << "a device would read for ever";
    });
    EXPECT_TRUE(ended) << "a read waited on a pipe";

    // A folder is no file either.
    EXPECT_FALSE(media::read_whole_file("Data", out, 1 << 20, "", why));
    EXPECT_EQ("not a regular file", why);
    EXPECT_FALSE(media::read_whole_file("Data\\Missing.ogg", out, 1 << 20, "", why));
    EXPECT_FALSE(why.empty());
}

TEST_F(unit_files, a_whole_read_takes_only_files_of_its_size_and_kind) {
    std::vector<unsigned char> ogg{'O', 'g', 'g', 'S'};
    ogg.resize(1000, 7);
    put("Data/ok.ogg", ogg);
    put("Data/short.ogg", {'O', 'g'});
    put("Data/empty.ogg", {});
    put("Data/wav.ogg", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    std::vector<std::uint8_t> out;
    std::string why;
    EXPECT_TRUE(media::read_whole_file("Data\\ok.ogg", out, 1000, "OggS", why)) << why;
    EXPECT_EQ(ogg, out) << "a file of exactly the limit is read whole";
    EXPECT_FALSE(media::read_whole_file("Data\\ok.ogg", out, 999, "OggS", why));
    EXPECT_EQ("larger than 999 bytes", why);
    EXPECT_TRUE(out.empty());
    for (const char* name : {"Data\\short.ogg", "Data\\empty.ogg", "Data\\wav.ogg"}) {
        EXPECT_FALSE(media::read_whole_file(name, out, 1000, "OggS", why)) << name;
        EXPECT_EQ("no \"OggS\" at its start", why) << name;
        EXPECT_TRUE(out.empty()) << name;
    }
    EXPECT_TRUE(media::read_whole_file("Data\\empty.ogg", out, 0, "", why)) << "no kind asked";
}

TEST(unit_files_log, a_broken_start_stops_with_the_message_and_status_1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // no message box to wait on
    EXPECT_EXIT(media::fatal_error("cannot open the display: none here"),
                testing::ExitedWithCode(1), "^glimmerfrost: cannot open the display: none here\n$");
}

}  // namespace
