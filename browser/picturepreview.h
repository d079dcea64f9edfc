// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/core/preview.h"

#include <QImage>
#include <QString>

#include <optional>

namespace velumbra {

/// A picture decoded for the half-size preview.
struct PreviewPicture
{
    std::optional<PixelSize> size; ///< the picture's own size; nothing when it could not be decoded
    QImage image;                  ///< at most the preview's size in device pixels; null on failure
    QString error;                 ///< the decoder's reason on failure
};

/// Decodes @p file once for a preview of half its size shown at
/// @p devicePixelRatio: the size comes from the header; a JPEG is scaled by
/// the decoder while it decodes, other pictures are decoded whole and shrunk
/// a row at a time. Pictures the preview cannot show (previewCanShow()) are
/// refused from their header, before any allocation; so is anything but a
/// plain file. EXIF orientation is left as stored; a GIF gives its first frame.
[[nodiscard]] PreviewPicture decodePreview(const QString &file, double devicePixelRatio);

} // namespace velumbra
