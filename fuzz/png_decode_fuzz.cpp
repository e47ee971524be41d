// Pictures as the game's loader decodes them. A decoded picture is always whole: its size
// within the loader's limits and exactly four bytes for each of its pixels.
#include <cstdint>
#include <vector>

#include "checksums.h"
#include "fuzz_check.h"
#include "media/backend/decoders/png_decode.h"

namespace {

void check_decode(const std::vector<std::uint8_t>& bytes) {
    media::backend::decoded_png png;
    if (!media::backend::decode_png(bytes, png)) {
        FUZZ_CHECK(png.width == 0 && png.height == 0 && png.rgba.empty(),
                   "a failed decode left a %dx%d picture", png.width, png.height);
        return;
    }
    FUZZ_CHECK(png.width >= 1 && png.width <= 16384 && png.height >= 1 && png.height <= 16384,
               "size %dx%d", png.width, png.height);
    FUZZ_CHECK(png.rgba.size() == static_cast<std::size_t>(png.width) * png.height * 4,
               "%zu bytes for %dx%d", png.rgba.size(), png.width, png.height);
    if (!png.has_alpha) {
        for (std::size_t i = 3; i < png.rgba.size(); i += 4) {
            FUZZ_CHECK(png.rgba[i] == 0xff, "pixel %zu not opaque in an opaque picture", i / 4);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    check_decode(bytes);
    if (fuzz::repair_png_crcs(bytes)) check_decode(bytes);
    return 0;
}
