#pragma once

// Picture files Qt can read but not write (GIF, run-length BMP, EXIF JPEG,
// lying PNG headers), built here so that the tests know every pixel.

#include <QByteArray>
#include <QImage>
#include <QList>

namespace velumbra::test {

/// An Indexed8 picture of @p colours random palette entries: bands of long
/// runs, with a stretch of single pixels in every third row.
[[nodiscard]] QImage patternPicture(QSize size, int colours, int seed);

/// An Indexed8 test card: vertical bands of @p colours.
[[nodiscard]] QImage bands(int width, int height, const QList<QRgb> &colours);

/// A smooth RGB gradient with some detail, for comparing scalings.
[[nodiscard]] QImage gradient(int width, int height);

/// A GIF89a of @p frames (Indexed8, same size, the first frame's palette);
/// @p transparentIndex marks one palette entry as transparent.
[[nodiscard]] QByteArray gif(const QList<QImage> &frames, int transparentIndex = -1);

/// A BMP of the Indexed8 @p image compressed with 8-bit (runs and absolute
/// stretches) or 4-bit (runs) run lengths.
[[nodiscard]] QByteArray rleBitmap(const QImage &image, int bitsPerPixel);

/// @p jpeg with an EXIF block that carries @p orientation (1-8).
[[nodiscard]] QByteArray withExifOrientation(const QByteArray &jpeg, int orientation);

/// A PNG whose header claims @p width x @p height pixels over a tiny body.
[[nodiscard]] QByteArray pngBomb(quint32 width, quint32 height);

/// The bits per pixel a BMP file's header announces, or 0 if it is no BMP.
[[nodiscard]] int bmpBitCount(const QByteArray &file);

/// Mean absolute difference per channel (0-255) between two same-size pictures.
[[nodiscard]] double meanDifference(const QImage &a, const QImage &b);

} // namespace velumbra::test
