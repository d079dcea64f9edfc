#pragma once

// Writers for the picture files Qt can read but not write, so that the tests
// know every pixel of their sources.

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QSize>

#include <vector>

namespace velumbra::test {

/// A picture as palette indices, row by row from the top.
struct IndexedPicture
{
    QSize size;
    QList<QRgb> palette;
    std::vector<unsigned char> pixels;

    [[nodiscard]] QRgb colour(int x, int y) const
    {
        return palette[pixels[std::size_t(y * size.width() + x)]];
    }
};

/// A pattern with long runs and short ones, from @p colours palette entries.
IndexedPicture patternPicture(QSize size, int colours, int seed);

/// A GIF89a file with one frame per picture (all of the same size and
/// palette); @p transparentIndex marks one palette entry as transparent.
QByteArray gifFile(const std::vector<IndexedPicture> &frames, int transparentIndex = -1);

/// A BMP compressed with 8-bit (or, with @p fourBits, 4-bit) run lengths.
QByteArray rleBmpFile(const IndexedPicture &picture, bool fourBits);

/// The bits per pixel a BMP file's header announces, or 0 if it is no BMP.
int bmpBitCount(const QByteArray &file);

} // namespace velumbra::test
