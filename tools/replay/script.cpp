#include "script.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "quote.h"

namespace {

using kind = media::platform_event::kind_t;

bool parse_int(const std::string& word, int lo, int hi, int& out) {
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end && out >= lo && out <= hi;
}

// The browser build's library has no std::from_chars for floats. strtof (the game never
// changes the "C" locale) reads the same decimal forms once the others are refused: space
// or a plus sign in front, hexadecimal.
bool parse_real(const std::string& word, float lo, float hi, float& out) {
    if (word.empty() || std::isspace(static_cast<unsigned char>(word[0])) || word[0] == '+')
        return false;
    const std::size_t at = word[0] == '-' ? 1 : 0;
    if (word.size() > at + 1 && word[at] == '0' && (word[at + 1] == 'x' || word[at + 1] == 'X'))
        return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtof(word.c_str(), &end);
    return errno == 0 && end == word.c_str() + word.size() && out >= lo && out <= hi;
}

// Reads the arguments of one event; false with `why` set when they do not fit.
bool parse_event(const std::string& name, const std::vector<std::string>& args, script_event& ev,
                 std::string& why) {
    auto want = [&](std::size_t n) {
        if (args.size() == n) return true;
        why = name + " takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s");
        return false;
    };
    auto int_arg = [&](std::size_t i, int lo, int hi, int& out) {
        if (parse_int(args[i], lo, hi, out)) return true;
        why = "bad value " + quote(args[i]) + " for " + name + " (expected " + std::to_string(lo) +
              " to " + std::to_string(hi) + ")";
        return false;
    };
    media::platform_event& e = ev.event;
    if (name == "key_down" || name == "key_up") {
        e.kind = name == "key_down" ? kind::key_down : kind::key_up;
        return want(1) && int_arg(0, 0, 255, e.code);
    }
    // A point of the screen, from args[first] and args[first + 1].
    auto point_args = [&](std::size_t first) {
        int x = 0, y = 0;
        if (!int_arg(first, -100000, 100000, x) || !int_arg(first + 1, -100000, 100000, y)) {
            return false;
        }
        e.x = static_cast<float>(x);
        e.y = static_cast<float>(y);
        return true;
    };
    if (name == "mouse_move") {
        e.kind = kind::mouse_move;
        return want(2) && point_args(0);
    }
    if (name == "touch_down" || name == "touch_move") {
        e.kind = name == "touch_down" ? kind::touch_down : kind::touch_move;
        return want(3) && int_arg(0, 0, max_finger, e.code) && point_args(1);
    }
    if (name == "touch_up") {
        e.kind = kind::touch_up;
        return want(1) && int_arg(0, 0, max_finger, e.code);
    }
    if (name == "mouse_down" || name == "mouse_up") {
        e.kind = name == "mouse_down" ? kind::mouse_down : kind::mouse_up;
        return want(1) && int_arg(0, 1, 3, e.code);
    }
    if (name == "joy_axis") {
        e.kind = kind::joy_axis;
        if (!want(2) || !int_arg(0, 0, 1, e.code)) return false;
        if (parse_real(args[1], -1.0f, 1.0f, e.value)) return true;
        why = "bad value " + quote(args[1]) + " for joy_axis (expected -1.0 to 1.0)";
        return false;
    }
    if (name == "joy_down" || name == "joy_up") {
        e.kind = name == "joy_down" ? kind::joy_down : kind::joy_up;
        return want(1) && int_arg(0, 0, 16, e.code);
    }
    if (name == "suspend") {
        ev.is_suspend = true;
        e.kind = kind::focus_lost;
        return want(1) && int_arg(0, 0, 2000000000, ev.suspend_asks);
    }
    if (name == "close") {
        e.kind = kind::close_request;
        return want(0);
    }
    if (name == "save") {
        e.kind = kind::save_request;
        return want(0);
    }
    why = "unknown event " + quote(name);
    return false;
}

}  // namespace

std::optional<std::vector<script_event>> parse_script(std::istream& in, script_error& error) {
    std::vector<script_event> events;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> parts;
        for (std::string w; words >> w;) parts.push_back(w);
        if (parts.empty()) continue;
        script_event ev;
        std::string why;
        if (parts.size() < 2) {
            why = "expected FRAME EVENT ARGS...";
        } else if (!parse_int(parts[0], 0, 1 << 30, ev.frame)) {
            why = "bad frame number " + quote(parts[0]);
        } else {
            parse_event(parts[1], {parts.begin() + 2, parts.end()}, ev, why);
        }
        if (!why.empty()) {
            error = {number, why};
            return std::nullopt;
        }
        events.push_back(ev);
    }
    std::stable_sort(
        events.begin(), events.end(),
        [](const script_event& a, const script_event& b) { return a.frame < b.frame; });
    return events;
}

std::optional<std::vector<script_event>> load_script(const std::string& path, script_error& error) {
    auto fail = [&](const std::string& why) {
        error = {0, why};
        return std::nullopt;
    };
    // Read whole and by hand: a stream takes a folder or a failing read for an empty file.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in) return fail(std::strerror(errno));
    std::string text;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in.get())) > 0;) {
        text.append(buf, n);
        if (text.size() > max_script_bytes) {
            return fail("larger than " + std::to_string(max_script_bytes >> 20) + " MiB");
        }
    }
    if (std::ferror(in.get())) return fail(std::strerror(errno));
    std::istringstream lines(std::move(text));
    return parse_script(lines, error);
}
