// The portable sine and cosine against this host's glibc: the same bits for every angle the
// game turns a sprite by and for the logo flyer's heading, so Linux pictures and traces stay
// as they were while the browser and Windows builds draw the same. And no game code may
// reach past them to the C library's own.
#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <string>

#include "media/clock.h"
#include "media/draw_state.h"
#include "media/image_data.h"
#include "media/portable_math.h"

namespace {

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}
std::uint32_t bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

// Under glibc each angle is checked against the library itself; elsewhere (the Windows and
// browser builds) against a digest of the very same bits, pinned on glibc.
#ifdef __GLIBC__
constexpr bool on_glibc = true;
#else
constexpr bool on_glibc = false;
#endif

struct digest {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a
    void add(std::uint32_t v) {
        for (int i = 0; i < 4; ++i, v >>= 8) h = (h ^ (v & 0xFF)) * 1099511628211u;
    }
};

// A sprite turned by `degrees` the way the drawing code turns it, against glibc rounded the
// same way (quarter turns are exact by design, not by the library). False on a mismatch.
bool turn_matches_glibc(float degrees, digest& seen) {
    media::set_rotation(degrees);
    const media::placement p = media::current_placement(0, 0, 0, 0);
    seen.add(bits(p.c));
    seen.add(bits(p.s));
    if (!on_glibc) return true;
    const double r = double(degrees) * 3.14159265358979323846 / 180.0;
    const float d = std::fabs(std::fmod(degrees, 360.0f));
    const bool same =
        d == 0 || d == 90 || d == 180 || d == 270
            ? p.c == std::round(std::cos(r)) && p.s == std::round(std::sin(r))
            : bits(p.c) == bits(float(std::cos(r))) && bits(p.s) == bits(float(std::sin(r)));
    EXPECT_TRUE(same) << "turned by " << degrees << " degrees";
    return same;
}

TEST(unit_portable_math, every_turn_the_game_draws_equals_glibc) {
    digest seen;
    // Whole degrees cover the flyer's tilt (-15..15), the crashed logo flyer's spin (345 down)
    // and the quarter turns.
    for (int d = -360; d <= 360; ++d) ASSERT_TRUE(turn_matches_glibc(float(d), seen));
    // The glows turn by glow_ang, an int that gains 2 a frame of play from start-up: every
    // even angle up to 2^21 (five hours of play), then floats up to 2^31 at a stride.
    // GF_PORTABLE_MATH_ALL=1 takes every one of the 67 million (minutes).
    const bool all = std::getenv("GF_PORTABLE_MATH_ALL") != nullptr;
    const float dense_to = all ? 16777216.0f : 2097152.0f;
    const int stride = all ? 1 : 97;
    for (float f = 2; f <= 2147483648.0f;) {
        ASSERT_TRUE(turn_matches_glibc(f, seen));
        if (f < dense_to) {
            f += 2;
        } else {
            for (int k = 0; k < stride; ++k) f = std::nextafter(f, 3e9f);
        }
    }
    media::reset_draw_state();
    EXPECT_EQ(seen.h, all ? 0x20796b4db4706cc2u : 0xf783284688918e53u)
        << "the turns differ from glibc's";
}

TEST(unit_portable_math, degree_helpers_are_portable_and_the_logo_heading_equals_glibc) {
    // The logo flyer's heading is the only angle the game gives them; glibc's values.
    EXPECT_EQ(media::sin_deg(55), 0x1.a367e59158747p-1);
    EXPECT_EQ(media::cos_deg(55), 0x1.25abcf87c4979p-1);
    if (on_glibc) {
        const double r55 = 55 * (std::numbers::pi / 180.0);
        EXPECT_EQ(std::sin(r55), 0x1.a367e59158747p-1);
        EXPECT_EQ(std::cos(r55), 0x1.25abcf87c4979p-1);
    }
    // Elsewhere glibc misrounds about one in a thousand (18 of these results on glibc 2.36),
    // so helpers that called the library's sin would fail here; they must not follow it.
    for (double d = -720; d <= 720; d += 0.25) {
        const double r = d * (std::numbers::pi / 180.0);
        ASSERT_EQ(bits(media::sin_deg(d)), bits(media::portable_sin(r))) << d;
        ASSERT_EQ(bits(media::cos_deg(d)), bits(media::portable_cos(r))) << d;
    }
}

// Where glibc and the portable result differ, they are neighbours and the 64-bit long double
// value falls on the portable one's side of the halfway point between them: glibc's fast
// paths round a hair past halfway now and then. Too near halfway to call, it counts nothing.
void expect_nearest(double x, double got, double glibc, long double wide) {
    if (bits(got) == bits(glibc)) return;
    const long double half = (static_cast<long double>(got) + glibc) / 2;
    if (std::fabs(wide - half) < 2 * std::fabs(std::nextafter(wide, 0.0L) - wide)) return;
    EXPECT_EQ((got > glibc), (wide > half)) << x;
    EXPECT_EQ(std::nextafter(got, glibc), glibc) << x;
}

TEST(unit_portable_math, any_double_rounds_to_nearest) {
    if (!on_glibc) GTEST_SKIP() << "the reference is glibc's long double";
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> near(-10, 10);
    int same = 0, total = 0;
    for (int i = 0; i < 200000; ++i) {
        // Half near the game's angles, half anywhere in the doubles' range.
        const double x = i % 2 ? near(rng) : std::bit_cast<double>(rng() & 0x7FEFFFFFFFFFFFFF);
        const double s = media::portable_sin(x), c = media::portable_cos(x);
        expect_nearest(x, s, std::sin(x), std::sin(static_cast<long double>(x)));
        expect_nearest(x, c, std::cos(x), std::cos(static_cast<long double>(x)));
        same += int(bits(s) == bits(std::sin(x))) + int(bits(c) == bits(std::cos(x)));
        total += 2;
    }
    EXPECT_GT(same, total - total / 200) << "glibc agrees on all but a few";
}

TEST(unit_portable_math, edge_cases) {
    const double inf = std::numeric_limits<double>::infinity();
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(bits(media::portable_sin(-0.0)), bits(-0.0));
    EXPECT_EQ(media::portable_cos(-0.0), 1.0);
    EXPECT_EQ(media::portable_sin(tiny), tiny);
    EXPECT_EQ(media::portable_cos(tiny), 1.0);
    // Either side of the shortcut for tiny angles, and of the reduction's threshold. Expected
    // values here and below were worked out to 300 bits or more.
    EXPECT_EQ(media::portable_sin(0x1.fffffffffffffp-28), 0x1.fffffffffffffp-28);
    EXPECT_EQ(media::portable_cos(0x1.fffffffffffffp-28), 1.0);
    EXPECT_EQ(media::portable_sin(-0x1p-26), -0x1p-26);
    EXPECT_EQ(media::portable_cos(-0x1p-26), 0x1.fffffffffffffp-1);
    EXPECT_EQ(media::portable_sin(-0.78), -0x1.68143d72d4ce4p-1);
    EXPECT_EQ(media::portable_cos(0.78), 0x1.6bfcdbf817bfap-1);
    EXPECT_EQ(media::portable_sin(0.7853981633974483), 0x1.6a09e667f3bccp-1);
    EXPECT_EQ(media::portable_cos(-0.7853981633974483), 0x1.6a09e667f3bcdp-1);
    // Next to a quarter turn only the reduction's precision is left.
    EXPECT_EQ(media::portable_sin(std::numbers::pi / 2), 1.0);
    EXPECT_EQ(media::portable_cos(std::numbers::pi / 2), 0x1.1a62633145c07p-54);
    EXPECT_EQ(media::portable_sin(std::numbers::pi), 0x1.1a62633145c07p-53);
    EXPECT_EQ(media::portable_cos(-std::numbers::pi), -1.0);
    // The double nearest a multiple of pi/2 (about 2^-61 off; glibc's cos is 8 units off
    // there) and the largest double.
    const double hardest = std::ldexp(6381956970095103.0, 797);
    EXPECT_EQ(media::portable_sin(hardest), 1.0);
    EXPECT_EQ(media::portable_cos(hardest), -0x1.14ae72e6ba22fp-61);
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(media::portable_sin(largest), 0x1.452fc98b34e97p-8);
    EXPECT_EQ(media::portable_cos(-largest), -0x1.fffe62ecfab75p-1);
    EXPECT_TRUE(std::isnan(media::portable_sin(inf)));
    EXPECT_TRUE(std::isnan(media::portable_cos(-inf)));
    EXPECT_TRUE(std::isnan(media::portable_sin(std::nan(""))));
}

// Whether `line` calls one of the C library's transcendental functions: bare, std:: or ::,
// with or without the f and l suffixes; not a member, nor another namespace's namesake.
bool calls_library_maths(const std::string& line) {
    static const std::set<std::string> names = {
        "sin",   "cos",  "tan",  "asin",  "acos",  "atan", "atan2",  "sinh",
        "cosh",  "tanh", "exp",  "exp2",  "expm1", "log",  "log2",   "log10",
        "log1p", "pow",  "cbrt", "hypot", "erf",   "erfc", "lgamma", "tgamma"};
    const auto is_word = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    for (std::size_t at = 0, end = 0; at < line.size(); at = end) {
        end = at + 1;
        if (!is_word(line[at]) || (at > 0 && is_word(line[at - 1]))) continue;
        while (end < line.size() && is_word(line[end])) ++end;
        std::string name = line.substr(at, end - at);
        if (!names.count(name) && (name.back() == 'f' || name.back() == 'l')) name.pop_back();
        const std::size_t next = line.find_first_not_of(" \t", end);
        if (!names.count(name) || next == std::string::npos || line[next] != '(') continue;
        const std::string before = line.substr(0, at);
        const auto ends = [&](const char* tail) { return before.ends_with(tail); };
        if (ends(".") || ends("->")) continue;
        if (ends("::") && !ends("std::") && before.size() > 2 && is_word(before[before.size() - 3]))
            continue;
        return true;
    }
    return false;
}

// The C library's transcendental functions round differently from one library to the next;
// game code, the renderer and the runner take them from portable_math.h instead.
TEST(unit_portable_math, game_code_calls_no_library_sin_or_cos) {
    for (const char* call : {"y = std::sin(a);", "x = ::cosf (b);", "return pow(x, 2);", "tanl(v)"})
        EXPECT_TRUE(calls_library_maths(call)) << call;
    for (const char* other : {"media::sin_deg(55)", "portable_cos(r)", "audio::log(x)",
                              "int cos = p.sin();", "q->exp();", "logo();", "cosine(1);"})
        EXPECT_FALSE(calls_library_maths(other)) << other;

    const std::filesystem::path root =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    if (!std::filesystem::is_directory(root / "src" / "game"))
        GTEST_SKIP() << "the sources are not at " << root;
    int files = 0;
    for (const char* dir : {"src", "tools/replay"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / dir)) {
            const std::string path = entry.path().generic_string();
            if (path.find("/media/backend/") != std::string::npos) continue;  // the decoders
            if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
            ++files;
            std::ifstream in(entry.path());
            int line_no = 0;
            for (std::string line; std::getline(in, line);) {
                ++line_no;
                line = line.substr(0, line.find("//"));
                EXPECT_FALSE(calls_library_maths(line)) << path << ":" << line_no << ": " << line;
            }
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
