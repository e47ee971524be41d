// Sine and cosine in fixed point: Payne and Hanek's reduction by the bits of 2/pi to an angle
// within an eighth of a turn, then the Taylor series in 128-bit fractions, rounded once.
#include "media/portable_math.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace media {

namespace {

// An unsigned 128-bit number; as a fraction, hi:lo / 2^128.
struct u128 {
    std::uint64_t hi = 0, lo = 0;
};

// The browser build's C++ library has no std::bit_cast.
std::uint64_t bits_of(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
double double_of(std::uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

constexpr bool is_zero(u128 a) {
    return a.hi == 0 && a.lo == 0;
}

constexpr u128 add(u128 a, u128 b) {
    const std::uint64_t lo = a.lo + b.lo;
    return {a.hi + b.hi + (lo < a.lo ? 1 : 0), lo};
}

constexpr u128 sub(u128 a, u128 b) {
    return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
}

constexpr u128 mul64(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a0 = a & 0xFFFFFFFF, a1 = a >> 32, b0 = b & 0xFFFFFFFF, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFF) + (p10 & 0xFFFFFFFF);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFF)};
}

// The product of two fractions, rounded down.
constexpr u128 mul(u128 a, u128 b) {
    const u128 hh = mul64(a.hi, b.hi), hl = mul64(a.hi, b.lo), lh = mul64(a.lo, b.hi);
    const u128 middle = add(add({0, hl.lo}, {0, lh.lo}), {0, mul64(a.lo, b.lo).hi});
    return add(add(add(hh, {0, hl.hi}), {0, lh.hi}), {0, middle.hi});
}

constexpr u128 shift_right(u128 a, int n) {
    if (n <= 0) return a;
    if (n >= 128) return {};
    if (n >= 64) return {0, a.hi >> (n - 64)};
    return {a.hi >> n, (a.lo >> n) | (a.hi << (64 - n))};
}

constexpr u128 shift_left(u128 a, int n) {
    if (n <= 0) return a;
    if (n >= 128) return {};
    if (n >= 64) return {a.lo << (n - 64), 0};
    return {(a.hi << n) | (a.lo >> (64 - n)), a.lo << n};
}

constexpr int leading_zeros(u128 a) {
    return a.hi != 0 ? std::countl_zero(a.hi) : 64 + std::countl_zero(a.lo);
}

// a / d rounded down, for d below 2^32.
constexpr u128 divide(u128 a, std::uint32_t d) {
    std::uint64_t part[4] = {a.hi >> 32, a.hi & 0xFFFFFFFF, a.lo >> 32, a.lo & 0xFFFFFFFF};
    std::uint64_t rest = 0;
    for (std::uint64_t& p : part) {
        const std::uint64_t now = (rest << 32) | p;
        p = now / d;
        rest = now % d;
    }
    return {(part[0] << 32) | part[1], (part[2] << 32) | part[3]};
}

// 1/first!, 1/(first + 2)!, ...: the Taylor coefficients. Dividing a floor by a whole number
// floors the exact quotient, so each is 2^128/n! rounded down.
constexpr int terms = 16;  // the first term left out is below 2^-140 on an eighth of a turn
constexpr std::array<u128, terms> inverse_factorials(int first) {
    std::array<u128, terms> out{};
    u128 f = {std::uint64_t{1} << 63, 0};  // 1/2!
    int n = 2;
    for (int i = 0; i < terms; ++i) {
        while (n < first + 2 * i) f = divide(f, std::uint32_t(++n));
        out[std::size_t(i)] = f;
    }
    return out;
}
constexpr std::array<u128, terms> sin_terms = inverse_factorials(3);
constexpr std::array<u128, terms> cos_terms = inverse_factorials(2);

// From tools/mathgen/pi_constants.py.
// 2/pi after the point, 32 bits a word, most significant first.
constexpr std::array<std::uint32_t, 42> two_over_pi = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB,
    0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E,
    0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B,
    0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7,
    0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1,
    0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08,
};
// pi/4 * 2^128, rounded to nearest.
constexpr u128 pi_over_4 = {0xC90FDAA22168C234, 0xC4C6628B80DC1CD1};

// The 32 bits of 2/pi from bit `first` on, bit 1 being the first after the point (the bits
// before it are zeros). `first` runs from -54 (angles near 1) to 1194 (the largest double).
std::uint32_t two_over_pi_bits(int first) {
    const int at = first - 1 + 64;
    const auto word = [](int i) -> std::uint64_t {
        return i < 2 ? 0 : two_over_pi[std::size_t(i - 2)];
    };
    const std::uint64_t pair = (word(at / 32) << 32) | word(at / 32 + 1);
    return std::uint32_t((pair << (at % 32)) >> 32);
}

// An angle as quarter * pi/2 + x, or quarter * pi/2 - x when `below`, with x in [0, pi/4]
// given as frac * 2^scale (frac in [1/2, 1), or zero when the angle is a whole quarter).
struct reduced {
    u128 frac;
    int scale = 0;
    int quarter = 0;
    bool below = false;
};

// m 2^e, m a 53-bit whole number and the angle below pi/4: nothing to take off.
reduced small_angle(std::uint64_t m, int e) {
    return {{m << 11, 0}, e + 53, 0, false};
}

// m 2^e times 2/pi, modulo 4. Bits of 2/pi that would be worth 4 or more are whole turns and
// are skipped; the 256 that follow leave an error below 2^-200 of a quarter turn, while no
// double lies nearer than about 2^-62 to a multiple of pi/2.
reduced reduce(std::uint64_t m, int e) {
    std::uint32_t window[8];  // least significant first
    for (int k = 0; k < 8; ++k) window[k] = two_over_pi_bits(e - 1 + 32 * (7 - k));
    const std::uint64_t m0 = m & 0xFFFFFFFF, m1 = m >> 32;
    std::uint32_t low[8];  // the low 256 bits of m * window
    std::uint64_t carry = 0;
    for (int k = 0; k < 8; ++k) {
        const std::uint64_t t = window[k] * m0 + carry;
        low[k] = std::uint32_t(t);
        carry = t >> 32;
    }
    carry = 0;
    for (int k = 0; k + 1 < 8; ++k) {
        const std::uint64_t t = low[k + 1] + window[k] * m1 + carry;
        low[k + 1] = std::uint32_t(t);
        carry = t >> 32;
    }

    // Two bits of quarter turns, then the fraction of one, most significant word first.
    reduced r;
    r.quarter = int(low[7] >> 30);
    std::uint64_t f[4];
    for (int i = 0; i < 4; ++i) {
        const int k = 7 - 2 * i;
        f[i] = (std::uint64_t{low[k]} << 34) | (std::uint64_t{low[k - 1]} << 2);
        if (k >= 3) f[i] |= low[k - 2] >> 30;
    }
    if (f[0] >> 63) {  // past half a quarter: measure from the next one instead
        r.below = true;
        r.quarter = (r.quarter + 1) & 3;
        bool carry_one = true;
        for (int i = 3; i >= 0; --i) {
            f[i] = ~f[i] + (carry_one ? 1 : 0);
            carry_one = carry_one && f[i] == 0;
        }
    }

    int top = 0;
    while (top < 4 && f[top] == 0) ++top;
    if (top == 4) return r;
    const auto at = [&](int i) -> std::uint64_t { return i < 4 ? f[i] : 0; };
    const int s = std::countl_zero(f[top]);
    const auto word = [&](int i) {
        return s == 0 ? at(i) : (at(i) << s) | (at(i + 1) >> (64 - s));
    };
    const u128 quarters = {word(top), word(top + 1)};  // times 2^-(64 top + s) quarter turns

    // x = quarters * 2^-(64 top + s) * 2 * pi/4
    r.frac = mul(quarters, pi_over_4);
    r.scale = 1 - 64 * top - s;
    if (!(r.frac.hi >> 63)) {
        r.frac = shift_left(r.frac, 1);
        r.scale -= 1;
    }
    return r;
}

// t * (c0 - t * (c1 - t * (c2 - ...))): the alternating tail of a series in t = x^2. Every
// bracket stays positive, since t < 1 and each coefficient is under a twelfth of the last.
u128 series_tail(u128 t, const std::array<u128, terms>& c) {
    u128 v = c.back();
    for (int i = terms - 2; i >= 0; --i) v = sub(c[std::size_t(i)], mul(t, v));
    return mul(t, v);
}

// y * 2^scale rounded to the nearest double, ties to even; y is not zero and the result is
// a normal number.
double to_double(u128 y, int scale, bool negative) {
    const int lz = leading_zeros(y);
    y = shift_left(y, lz);
    std::uint64_t mantissa = y.hi >> 11;
    const std::uint64_t rest = y.hi & 0x7FF, half = 0x400;
    if (rest > half || (rest == half && (y.lo != 0 || (mantissa & 1)))) ++mantissa;
    int exponent = scale - lz - 1;
    if (mantissa >> 53) {
        mantissa >>= 1;
        ++exponent;
    }
    const std::uint64_t bits = (std::uint64_t{negative} << 63) |
                               (std::uint64_t(exponent + 1023) << 52) |
                               (mantissa & ((std::uint64_t{1} << 52) - 1));
    return double_of(bits);
}

double sin_or_cos(double radians, bool cosine) {
    const std::uint64_t bits = bits_of(radians);
    const bool negative = (bits >> 63) != 0;
    const int biased = int(bits >> 52) & 0x7FF;
    if (biased == 0x7FF) return radians - radians;  // NaN for infinities and NaN
    // Below 2^-27, x - x^3/6 rounds to x and 1 - x^2/2 to 1 (glibc's shortcut too).
    if (biased < 1023 - 27) return cosine ? 1.0 : radians;

    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = biased - 1075;
    const bool small = (negative ? -radians : radians) < 0.78;
    const reduced r = small ? small_angle(m, e) : reduce(m, e);

    // cos a = sin(a + pi/2); sin(q pi/2 + x) is sin x, cos x, -sin x, -cos x for q = 0..3.
    const int quarter = (r.quarter + (cosine ? 1 : 0)) & 3;
    const bool want_cos = (quarter & 1) != 0;
    bool minus = (quarter & 2) != 0;
    if (!want_cos && r.below) minus = !minus;
    if (!cosine && negative) minus = !minus;

    if (is_zero(r.frac)) return want_cos ? (minus ? -1.0 : 1.0) : (minus ? -0.0 : 0.0);
    const u128 t = shift_right(mul(r.frac, r.frac), -2 * r.scale);
    if (want_cos) {
        const u128 tail = series_tail(t, cos_terms);
        if (is_zero(tail)) return minus ? -1.0 : 1.0;
        return to_double(sub({}, tail), 0, minus);  // 2^128 - tail, that is 1 - tail
    }
    return to_double(sub(r.frac, mul(r.frac, series_tail(t, sin_terms))), r.scale, minus);
}

}  // namespace

double portable_sin(double radians) {
    return sin_or_cos(radians, false);
}

double portable_cos(double radians) {
    return sin_or_cos(radians, true);
}

}  // namespace media
