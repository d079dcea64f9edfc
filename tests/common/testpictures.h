// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one place tests make pictures: files Qt can read but not write (GIF,
// run-length BMP, EXIF JPEG, lying PNG headers), built here so that the tests
// know every pixel, and pictures whose quadrants can be told apart on a screen.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

#include <array>

namespace velumbra::test {

/// Four colours, one per quadrant: top left, top right, bottom left, bottom right.
using Quadrants = std::array<QColor, 4>;
extern const Quadrants kPictureA, kPictureB, kPictureC;

/// Writes a @p size picture of @p colours to @p path (format from the suffix).
bool writeQuadrants(const QString &path, const Quadrants &colours, QSize size = {640, 360});

/// Whether @p actual is @p expected give or take JPEG's rounding.
[[nodiscard]] bool closeTo(QColor actual, QColor expected, int tolerance = 24);

/// @p image in @p format, as a file would hold it.
[[nodiscard]] QByteArray encoded(const QImage &image, const char *format, int quality = -1,
                                 bool progressive = false);

/// Writes @p bytes to @p path, whole.
bool writeFile(const QString &path, const QByteArray &bytes);

/// What @p path holds; empty when unreadable.
[[nodiscard]] QByteArray readFile(const QString &path);

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

} // namespace velumbra::test
