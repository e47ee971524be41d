#!/usr/bin/env python3
"""Prints the two constants of src/media/portable_math.cpp that come from pi: the bits of
2/pi that reduce an angle to a quarter turn, and pi/4 to 128 bits. Integer arithmetic only
(Machin's formula), so any Python 3 gives the same digits."""

WORDS = 42  # 32-bit words of 2/pi: bits 1 to 1344 after the point
GUARD = 64


def arctan_inv(n, bits):
    """atan(1/n) * 2**bits, rounded down, to within a few units."""
    total = 0
    term = (1 << bits) // n
    k = 0
    while term:
        total += term // (2 * k + 1) if k % 2 == 0 else -(term // (2 * k + 1))
        term //= n * n
        k += 1
    return total


def pi_scaled(bits):
    # pi = 16 atan(1/5) - 4 atan(1/239); the guard bits absorb the truncations.
    return (16 * arctan_inv(5, bits + GUARD) - 4 * arctan_inv(239, bits + GUARD)) >> GUARD


def main():
    bits = 32 * WORDS
    pi = pi_scaled(bits + 2 * GUARD)  # pi * 2**(bits + 2 GUARD)
    scale = bits + 2 * GUARD
    # 2/pi * 2**bits = 2**(bits + 1 + scale) / (pi * 2**scale)
    two_over_pi = (1 << (bits + 1 + scale)) // pi
    # The guard bits must leave the floor beyond doubt.
    assert (1 << (bits + 1 + scale)) // (pi + 8) == two_over_pi
    pi_over_4 = (pi + (1 << (scale - 127))) >> (scale - 126)  # pi/4 * 2**128, rounded

    print("// 2/pi after the point, 32 bits a word, most significant first.")
    print(f"constexpr std::array<std::uint32_t, {WORDS}> two_over_pi = {{")
    words = [(two_over_pi >> (32 * (WORDS - 1 - i))) & 0xFFFFFFFF for i in range(WORDS)]
    for i in range(0, WORDS, 7):
        print("    " + " ".join(f"0x{w:08X}," for w in words[i:i + 7]))
    print("};")
    print("// pi/4 * 2^128, rounded to nearest.")
    print(f"constexpr u128 pi_over_4 = {{0x{pi_over_4 >> 64:016X}, 0x{pi_over_4 & (2**64 - 1):016X}}};")


if __name__ == "__main__":
    main()
