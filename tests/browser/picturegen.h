#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

namespace velumbra::testing {

/// A run-length-encoded Windows bitmap (4 or 8 bits a pixel) of @p image,
/// which must be Indexed8 with at most 16 or 256 colours. Qt cannot write one.
[[nodiscard]] QByteArray rleBitmap(const QImage &image, int bitsPerPixel);

/// A GIF of @p frames (Indexed8, same size, one shared palette of up to 256
/// colours), uncompressed LZW. Qt cannot write GIFs.
[[nodiscard]] QByteArray gif(const QList<QImage> &frames);

/// @p jpeg with an EXIF block that carries @p orientation (1-8), as cameras
/// write it; Qt's writer turns the pixels instead.
[[nodiscard]] QByteArray withExifOrientation(const QByteArray &jpeg, int orientation);

/// An Indexed8 test card: vertical bands of @p colours.
[[nodiscard]] QImage bands(int width, int height, const QList<QRgb> &colours);

/// A smooth RGB gradient with some detail, for comparing scalings.
[[nodiscard]] QImage gradient(int width, int height);

/// A PNG whose header claims @p width x @p height pixels over a tiny body.
[[nodiscard]] QByteArray pngBomb(quint32 width, quint32 height);

/// Mean absolute difference per channel (0-255) between two same-size pictures.
[[nodiscard]] double meanDifference(const QImage &a, const QImage &b);

} // namespace velumbra::testing
