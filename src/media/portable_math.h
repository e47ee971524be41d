// Sine and cosine with the same bits under every C library the game is built with. glibc,
// musl (the browser) and mingw-w64 each round sin and cos their own way now and then, which
// would move a turned sprite or the logo flyer by a pixel between platforms. Integer
// arithmetic only, so no library, compiler or FPU setting changes a bit: the double nearest
// the true value, from about 120 bits. On every angle the game uses this equals what glibc
// gives (tests/unit/unit_portable_math_test.cpp). Infinities and NaN give NaN.
#pragma once

namespace media {

double portable_sin(double radians);
double portable_cos(double radians);

}  // namespace media
