// The Windows icon: a directory Windows can read, each size a PNG of its own,
// drawn at that size rather than shrunk from a bigger one.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

#include "asset_files.h"
#include "ico_out.h"
#include "pictures.h"
#include "png_io.h"

using namespace gf_test;

namespace {

uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

struct entry {
    uint32_t width, height, planes, bits, length, offset;
};

}  // namespace

TEST(WindowsIcon, HoldsEachSizeAsAPngOfThatSizeDrawnAtThatSize) {
    const std::vector<uint8_t> ico = file_bytes(asset_path("glimmerfrost.ico"));
    ASSERT_GE(ico.size(), 6u) << "glimmerfrost.ico is missing or cut short";
    EXPECT_EQ(le16(ico, 0), 0u) << "reserved";
    EXPECT_EQ(le16(ico, 2), 1u) << "type: an icon, not a cursor";
    const uint32_t sizes[] = {16, 24, 32, 48, 64, 256};
    const size_t count = std::size(sizes);
    ASSERT_EQ(le16(ico, 4), count);
    const size_t pictures_start = 6 + 16 * count;
    ASSERT_GE(ico.size(), pictures_start);

    std::vector<entry> entries;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 6 + 16 * i;
        entries.push_back({ico[at] ? ico[at] : 256u, ico[at + 1] ? ico[at + 1] : 256u,
                           le16(ico, at + 4), le16(ico, at + 6), le32(ico, at + 8),
                           le32(ico, at + 12)});
        EXPECT_EQ(ico[at + 2], 0) << "entry " << i << ": a palette size for a PNG";
        EXPECT_EQ(ico[at + 3], 0) << "entry " << i << ": reserved";
    }

    // The pictures lie after the directory, inside the file, one after another and
    // without gaps or overlaps.
    std::vector<entry> by_offset = entries;
    std::sort(by_offset.begin(), by_offset.end(),
              [](const entry& a, const entry& b) { return a.offset < b.offset; });
    size_t end = pictures_start;
    for (const entry& e : by_offset) {
        EXPECT_EQ(e.offset, end) << "the " << e.width << " picture";
        end = size_t(e.offset) + e.length;
    }
    EXPECT_EQ(end, ico.size()) << "the pictures do not end where the file does";

    for (size_t i = 0; i < count; ++i) {
        const entry& e = entries[i];
        const uint32_t size = sizes[i];
        EXPECT_EQ(e.width, size) << "entry " << i;
        EXPECT_EQ(e.height, size) << "entry " << i;
        EXPECT_EQ(e.planes, 1u) << size;
        EXPECT_EQ(e.bits, 32u) << size;
        ASSERT_LE(size_t(e.offset) + e.length, ico.size()) << size << " runs past the file";
        const std::vector<uint8_t> png(ico.begin() + e.offset, ico.begin() + e.offset + e.length);

        png_image img{};
        img.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&img, png.data(), png.size()))
            << "the " << size << " picture is not a PNG";
        EXPECT_EQ(img.width, size);
        EXPECT_EQ(img.height, size);
        EXPECT_TRUE(img.format & PNG_FORMAT_FLAG_ALPHA) << size << ": no alpha";
        png_image_free(&img);
        EXPECT_TRUE(png == ag::png_rgba_bytes(ag::draw_icon(int(size))))
            << "the " << size << " picture is not the icon drawn at " << size;
    }
}

TEST(WindowsIcon, RefusesPicturesItsDirectoryCannotHold) {
    const std::vector<uint8_t> png = ag::png_rgba_bytes(ag::draw_icon(16));
    EXPECT_FALSE(ag::ico_bytes({{16, png}}).empty());
    EXPECT_TRUE(ag::ico_bytes({}).empty());
    EXPECT_TRUE(ag::ico_bytes({{16, png}, {257, png}}).empty())
        << "its width byte holds 256 at most";
    EXPECT_TRUE(ag::ico_bytes({{0, png}}).empty()) << "0 would read as 256";
    EXPECT_TRUE(ag::ico_bytes({{16, {}}}).empty()) << "a failed encoding";
}
