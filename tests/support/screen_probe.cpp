// screen_probe X0 Y0 X1 Y1 < dump.xwd: what the game shows in a rectangle of its 640 x 480
// screen, read from an `xwd -root` dump of a real X server where the game runs full screen
// (scaled by a whole number, centred). Prints "mean R G B", "most_red_over_blue N" and
// "red_centre_y Y" (the mean row of the strongly red pixels, such as the sleigh's, -1 when
// there are none) so shell tests can wait for a screen instead of sleeping.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

std::uint32_t be32(const std::vector<unsigned char>& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 |
           std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}

int shift_of(std::uint32_t mask) {
    int s = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++s;
    return s;
}

[[noreturn]] void fail(const char* why) {
    std::fprintf(stderr, "screen_probe: %s\n", why);
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) fail("usage: screen_probe X0 Y0 X1 Y1 < dump.xwd");
    const int x0 = std::atoi(argv[1]), y0 = std::atoi(argv[2]);
    const int x1 = std::atoi(argv[3]), y1 = std::atoi(argv[4]);
    std::cin >> std::noskipws;
    const std::vector<unsigned char> d{std::istream_iterator<unsigned char>(std::cin), {}};
    if (d.size() < 100) fail("not an xwd dump");
    const std::uint32_t header = be32(d, 0), width = be32(d, 16), height = be32(d, 20);
    const bool lsb_first = be32(d, 28) == 0;
    const std::uint32_t bpp = be32(d, 44), line = be32(d, 48), ncolors = be32(d, 76);
    const std::uint32_t masks[3] = {be32(d, 56), be32(d, 60), be32(d, 64)};
    if (bpp != 32) fail("only 32-bit dumps are read");
    const std::size_t pixels = header + std::size_t(ncolors) * 12;
    if (d.size() < pixels + std::size_t(line) * height) fail("the dump is cut short");

    // The game's screen: the largest whole scale that fits, centred.
    const int scale = int(std::min(width / 640, height / 480));
    if (scale < 1) fail("the screen is smaller than the game's");
    const int left = (int(width) - 640 * scale) / 2, top = (int(height) - 480 * scale) / 2;
    long sum[3] = {0, 0, 0}, count = 0, red_rows = 0, red_count = 0;
    int most = -255;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::size_t at =
                pixels + std::size_t(top + y * scale) * line + std::size_t(left + x * scale) * 4;
            std::uint32_t p = 0;
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t byte = d[at + std::size_t(lsb_first ? k : 3 - k)];
                p |= byte << (8 * k);
            }
            int c[3];
            for (int i = 0; i < 3; ++i) c[i] = int((p & masks[i]) >> shift_of(masks[i]));
            for (int i = 0; i < 3; ++i) sum[i] += c[i];
            most = std::max(most, c[0] - c[2]);
            if (c[0] > 150 && c[0] - c[2] > 120) red_rows += y, ++red_count;
            ++count;
        }
    }
    if (count == 0) fail("an empty rectangle");
    std::printf("mean %ld %ld %ld\nmost_red_over_blue %d\nred_centre_y %ld\n", sum[0] / count,
                sum[1] / count, sum[2] / count, most, red_count ? red_rows / red_count : -1L);
    return 0;
}
