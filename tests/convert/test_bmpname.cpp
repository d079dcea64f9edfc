// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/core/bmpname.h"
#include "convert/core/picturescan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace velumbra;

TEST(CopyName, CutAfterTheFirstPoint)
{
    const std::pair<const char *, const char *> names[] = {
        {"photo.old.jpg", "photo.bmp"}, {"image.bmp", "image.bmp"},    {"PHOTO.JPG", "PHOTO.bmp"},
        {"readme", "readme.bmp"},       {"trailing.", "trailing.bmp"}, {"été.gif", "été.bmp"}};
    for (const auto &[entry, copy] : names)
        EXPECT_EQ(bmpCopyName(entry), copy) << entry;
}

TEST(FullName, SeparatorAlwaysInsertedAndOnlyTheEntryCut)
{
    EXPECT_EQ(conversionFullName("/", '/', "a.gif"), "//a.gif");
    EXPECT_EQ(conversionFullName("C:\\", '\\', "a.gif"), "C:\\\\a.gif");
    EXPECT_EQ(conversionFullName("/srv/v1.2", '/', bmpCopyName("x.y.gif")), "/srv/v1.2/x.bmp");
}

// By hand: SOI, APP0, a scan whose data holds a stuffed 0xFF, a restart
// marker and fill bytes, then EOI. Cut anywhere it is short: the stuffed
// 0xFF 0x00, the restart marker and the fill bytes must not pass for its end,
// nor a segment longer than the file. Bytes after the end, as some cameras
// write, and a stray byte after the start marker, which the decoder skips,
// are allowed.
TEST(JpegEnd, OnlyAWholeFileReachesItsEnd)
{
    std::vector<std::byte> data;
    for (int b :
         {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x06, 0x4A, 0x46, 0x49, 0x46, 0xFF, 0xDA, 0x00, 0x04,
          0x01, 0x02, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xFF, 0xFF, 0xD9})
        data.push_back(std::byte(b));
    const auto whole = [](std::span<const std::byte> d) {
        return reachesEnd(ScannedFormat::Jpeg, d);
    };
    for (std::size_t n = 0; n < data.size(); ++n)
        EXPECT_FALSE(whole(std::span(data.data(), n))) << "cut at " << n;
    EXPECT_FALSE(whole(std::span(data).subspan(2))) << "no start marker";
    std::vector<std::byte> overlong = data;
    overlong[5] = std::byte(0x60); // APP0 claims 96 bytes
    EXPECT_FALSE(whole(overlong));
    data.insert(data.end(), 5, std::byte('x'));
    EXPECT_TRUE(whole(data));
    data.insert(data.begin() + 2, std::byte(0x42));
    EXPECT_TRUE(whole(data));
}

} // namespace
