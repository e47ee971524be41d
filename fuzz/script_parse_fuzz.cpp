// Runner scripts as anyone may type them into a bug report. A script either parses into
// events in frame order whose values fit their event, or names a line that exists in a
// short message of printable characters.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "script.h"

namespace {

using kind = media::platform_event::kind_t;

void check_event(const script_event& se) {
    const media::platform_event& e = se.event;
    FUZZ_CHECK(se.frame >= 0 && se.frame <= (1 << 30), "frame %d", se.frame);
    switch (e.kind) {
        case kind::key_down:
        case kind::key_up:
            FUZZ_CHECK(e.code >= 0 && e.code <= 255, "key %d", e.code);
            break;
        case kind::mouse_down:
        case kind::mouse_up:
            FUZZ_CHECK(e.code >= 1 && e.code <= 3, "mouse button %d", e.code);
            break;
        case kind::joy_axis:
            FUZZ_CHECK((e.code == 0 || e.code == 1) && e.value >= -1.0f && e.value <= 1.0f,
                       "axis %d value %g", e.code, static_cast<double>(e.value));
            break;
        case kind::joy_down:
        case kind::joy_up:
            FUZZ_CHECK(e.code >= 0 && e.code <= 16, "pad button %d", e.code);
            break;
        case kind::touch_down:
        case kind::touch_move:
        case kind::touch_up:
            FUZZ_CHECK(e.code >= 0 && e.code <= max_finger, "finger %d", e.code);
            break;
        case kind::focus_lost:
            FUZZ_CHECK(se.is_suspend && se.suspend_asks >= 0, "suspend %d", se.suspend_asks);
            break;
        case kind::mouse_move:
        case kind::close_request:
        case kind::save_request:
            break;
        default:
            FUZZ_CHECK(false, "a script made event kind %d", static_cast<int>(e.kind));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    script_error error;
    const auto events = parse_script(in, error);
    const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
    if (!events) {
        FUZZ_CHECK(error.line >= 1 && error.line <= lines, "error on line %d of %ld", error.line,
                   static_cast<long>(lines));
        FUZZ_CHECK(!error.message.empty(), "no message for line %d", error.line);
        // The message goes to a terminal as one line, whatever bytes the script held.
        FUZZ_CHECK(error.message.size() <= 256, "a message of %zu bytes", error.message.size());
        for (unsigned char c : error.message) {
            FUZZ_CHECK(c >= 0x20 && c < 0x7F, "byte %d in a message", c);
        }
        return 0;
    }
    FUZZ_CHECK(static_cast<long>(events->size()) <= lines, "%zu events from %ld lines",
               events->size(), static_cast<long>(lines));
    for (const script_event& se : *events) check_event(se);
    FUZZ_CHECK(std::is_sorted(
                   events->begin(), events->end(),
                   [](const script_event& a, const script_event& b) { return a.frame < b.frame; }),
               "events out of frame order");
    return 0;
}
