// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;

namespace velumbra {

/// Empties the preview: @p image is hidden without its picture and @p info
/// shows @p file alone.
void clearPreview(QLabel &image, QLabel &info, const QString &file);

/// Fills the emptied preview with @p file, decoded at half its size for
/// @p devicePixelRatio: @p image takes that size and is shown, and @p info
/// adds the picture's size and the screen's to the path. A picture that
/// cannot be decoded leaves both empty, the image shown all the same.
void showPreview(QLabel &image, QLabel &info, const QString &file, double devicePixelRatio,
                 int screenWidth, int screenHeight);

} // namespace velumbra
