// Runner scripts: what a line may say, how a bad one is reported, and which files will do.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "quote.h"
#include "script.h"
#include "support/temp_dir.h"

namespace {

std::optional<std::vector<script_event>> parse(const std::string& text, script_error& err) {
    std::istringstream in(text);
    return parse_script(in, err);
}

}  // namespace

TEST(script_parse, reads_every_event_in_frame_order) {
    script_error err;
    auto events = parse(
        "# a comment line\n"
        "\n"
        "5 key_down 27   # trailing comment\n"
        "2 mouse_move 320 -4\n"
        "2 joy_axis 1 -1.0\n"
        "7 suspend 3\n"
        "9 close\n"
        "0 mouse_down 3\n"
        "11 touch_down 9 12 -3\n"
        "12 touch_move 9 639 479\n"
        "13 touch_up 9\n",
        err);
    ASSERT_TRUE(events) << err.line << ": " << err.message;
    ASSERT_EQ(events->size(), 9u);
    EXPECT_EQ((*events)[0].frame, 0);
    EXPECT_EQ((*events)[0].event.kind, media::platform_event::mouse_down);
    EXPECT_EQ((*events)[0].event.code, 3);
    EXPECT_EQ((*events)[1].event.kind, media::platform_event::mouse_move)
        << "same frame: file order";
    EXPECT_EQ((*events)[1].event.y, -4.0f);
    EXPECT_EQ((*events)[2].event.value, -1.0f);
    EXPECT_EQ((*events)[3].event.code, 27);
    EXPECT_TRUE((*events)[4].is_suspend);
    EXPECT_EQ((*events)[4].suspend_asks, 3);
    EXPECT_EQ((*events)[5].event.kind, media::platform_event::close_request);
    const media::platform_event& down = (*events)[6].event;
    EXPECT_EQ(down.kind, media::platform_event::touch_down);
    EXPECT_EQ(down.code, 9);
    EXPECT_EQ(down.y, -3.0f);
    EXPECT_EQ((*events)[7].event.x, 639.0f);
    EXPECT_EQ((*events)[8].event.kind, media::platform_event::touch_up);
}

TEST(script_parse, names_the_first_bad_line) {
    const std::pair<const char*, int> cases[] = {
        {"1 key_down 27\nx key_down 27\n", 2},  // frame not a number
        {"1 key_down\n", 1},                    // missing argument
        {"1 key_down 256\n", 1},                // key code out of range
        {"1 key_down 27 28\n", 1},              // extra argument
        {"1 mouse_down 4\n", 1},                // no such button
        {"1 joy_axis 2 0.5\n", 1},              // no such axis
        {"1 joy_axis 0 1.5\n", 1},              // past full push
        {"1 joy_down 17\n", 1},                 // past the last button
        {"1 touch_down 10 5 5\n", 1},           // past the last finger
        {"1 touch_move 0 5\n", 1},              // a point needs two numbers
        {"1 touch_up -1\n", 1},
        {"-1 close\n", 1},      // negative frame
        {"\n\n3 jump 1\n", 3},  // unknown event
        {"1 close now\n", 1},
        {"1 suspend -2\n", 1},
        {"7\n", 1},
    };
    for (const auto& [text, line] : cases) {
        script_error err;
        EXPECT_FALSE(parse(text, err)) << text;
        EXPECT_EQ(err.line, line) << text;
        EXPECT_FALSE(err.message.empty()) << text;
    }
}

TEST(script_parse, messages_show_the_bad_input_escaped_and_cut) {
    const std::pair<std::string, std::string> cases[] = {
        {"1 key_down 9" + std::string(1, '\0') + "\n", "bad value '9\\x00' for key_down"},
        {"1 joy_axis 0 " + std::string(5000, '7') + "\n", "'" + std::string(40, '7') + "'..."},
        {"\xff\xfe close\n", "bad frame number '\\xff\\xfe'"},
        {"1 say\\'hi\n", "unknown event 'say\\\\\\'hi'"},
    };
    for (const auto& [text, shown] : cases) {
        script_error err;
        EXPECT_FALSE(parse(text, err));
        EXPECT_NE(err.message.find(shown), std::string::npos)
            << "expected " << shown << ", got " << err.message;
        EXPECT_LT(err.message.size(), 200u);
    }
}

TEST(script_parse, quote_marks_only_a_real_cut) {
    EXPECT_EQ(quote("abc", 3), "'abc'") << "exactly the limit is whole";
    EXPECT_EQ(quote("abcd", 3), "'abc'...");
    EXPECT_EQ(quote("", 3), "''");
    EXPECT_EQ(quote("\n\t\x7f\x80", 10), "'\\x0a\\x09\\x7f\\x80'");
    EXPECT_EQ(printable("it's a\\b"), "it's a\\\\b") << "no quotes, none escaped";
}

TEST(script_parse, load_reads_pipes_and_refuses_what_cannot_be_read) {
    test_support::temp_dir dir;
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo) << "4 close\n2 key_down 27\n"; });
    script_error err;
    auto events = load_script(fifo, err);
    writer.join();
    ASSERT_TRUE(events) << err.message;
    ASSERT_EQ(events->size(), 2u);
    EXPECT_EQ((*events)[1].event.kind, media::platform_event::close_request);

    for (const std::string& path : {dir.path().string(), (dir / "none").string()}) {
        script_error bad;
        EXPECT_FALSE(load_script(path, bad)) << path;
        EXPECT_EQ(bad.line, 0) << "no line of the script is to blame";
        EXPECT_FALSE(bad.message.empty());
    }
}
