#include "convert/core/bmpname.h"
#include "convert/core/picturescan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using velumbra::bmpCopyName;
using velumbra::conversionFullName;
using velumbra::ScannedFormat;

bool jpegReachesEnd(std::span<const std::byte> data)
{
    return velumbra::reachesEnd(ScannedFormat::Jpeg, data);
}

struct NameCase
{
    const char *entry;
    const char *copy;
};

const NameCase kNames[] = {
    {"photo.jpeg", "photo.bmp"},   {"logo.gif", "logo.bmp"},   {"photo.old.jpg", "photo.bmp"},
    {"a.b.c.gif", "a.bmp"},        {"image.bmp", "image.bmp"}, // a BMP is written back onto itself
    {"PHOTO.JPG", "PHOTO.bmp"},    {"readme", "readme.bmp"},   // not the bare "bmp"
    {"trailing.", "trailing.bmp"}, {"été.gif", "été.bmp"},     {"un nom.jpeg", "un nom.bmp"},
};

class CopyName : public testing::TestWithParam<NameCase>
{
};

TEST_P(CopyName, CutAfterTheFirstPoint)
{
    EXPECT_EQ(bmpCopyName(GetParam().entry), GetParam().copy);
}

INSTANTIATE_TEST_SUITE_P(Table, CopyName, testing::ValuesIn(kNames));

struct PathCase
{
    const char *folder;
    char separator;
    const char *entry;
    const char *full;
};

const PathCase kPaths[] = {
    {"/home/anne/vacances.2024", '/', "plage.gif", "/home/anne/vacances.2024/plage.gif"},
    {"/", '/', "a.gif", "//a.gif"}, // the separator is always inserted, even at a root
    {"C:\\", '\\', "a.gif", "C:\\\\a.gif"},
};

class FullName : public testing::TestWithParam<PathCase>
{
};

TEST_P(FullName, SeparatorAlwaysInserted)
{
    const PathCase &c = GetParam();
    EXPECT_EQ(conversionFullName(c.folder, c.separator, c.entry), c.full);
}

INSTANTIATE_TEST_SUITE_P(Table, FullName, testing::ValuesIn(kPaths));

// A folder whose name holds a point keeps its name: only the entry is cut.
TEST(FullName, CopyOfAFileInAPointedFolder)
{
    EXPECT_EQ(conversionFullName("/srv/v1.2", '/', bmpCopyName("x.y.gif")), "/srv/v1.2/x.bmp");
}

// A JPEG built by hand: SOI, an APP0 segment, a scan whose data holds a
// stuffed 0xFF, a restart marker and fill bytes, then EOI.
std::vector<std::byte> handMadeJpeg()
{
    const int bytes[] = {0xFF, 0xD8,                                           // SOI
                         0xFF, 0xE0, 0x00, 0x06, 'J',  'F',  'I',  'F',        // APP0
                         0xFF, 0xDA, 0x00, 0x04, 0x01, 0x02,                   // SOS header
                         0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xFF, // scan data
                         0xFF, 0xD9};                                          // EOI
    std::vector<std::byte> out;
    for (int b : bytes)
        out.push_back(std::byte(b));
    return out;
}

// Bytes after the end, as some cameras write, are allowed.
TEST(JpegEnd, CompleteFileReachesItsEnd)
{
    std::vector<std::byte> data = handMadeJpeg();
    EXPECT_TRUE(jpegReachesEnd(data));
    for (char c : std::string("camera trailer"))
        data.push_back(std::byte(c));
    EXPECT_TRUE(jpegReachesEnd(data));
    // A stray byte after the start marker, which the decoder skips.
    data.insert(data.begin() + 2, std::byte(0x42));
    EXPECT_TRUE(jpegReachesEnd(data));
}

// Cut anywhere, inside a segment, the scan or between the two end bytes, the
// file must be reported short: the stuffed 0xFF 0x00, the restart marker and
// the fill bytes must not pass for its end.
TEST(JpegEnd, EveryShorterPrefixIsIncomplete)
{
    const std::vector<std::byte> data = handMadeJpeg();
    for (std::size_t n = 0; n < data.size(); ++n)
        EXPECT_FALSE(jpegReachesEnd(std::span(data.data(), n))) << "cut at " << n;
}

TEST(JpegEnd, SegmentLengthPastTheEndIsIncomplete)
{
    std::vector<std::byte> data = handMadeJpeg();
    data[5] = std::byte(0x60); // APP0 claims 96 bytes
    EXPECT_FALSE(jpegReachesEnd(data));
}

TEST(JpegEnd, OtherFormatsAreNotJpeg)
{
    const std::byte gif[] = {std::byte('G'), std::byte('I'),  std::byte('F'),
                             std::byte('8'), std::byte(0xFF), std::byte(0xD9)};
    EXPECT_FALSE(jpegReachesEnd(gif));
}

} // namespace
