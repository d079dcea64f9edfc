// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QImage>
#include <QString>

class QIODevice;

namespace velumbra {

/// Puts a decoded picture into one of the two shapes a BMP copy is written
/// in, in place: Indexed8 with its exact colours when it has 256 or fewer
/// (always for paletted pictures; for the others only when @p countColours),
/// RGB32 otherwise. Transparent parts are laid onto white.
void prepareForBmp(QImage &picture, bool countColours);

/// Writes a picture prepared by prepareForBmp as an uncompressed bottom-up
/// BMP: 8 bits with a 256-entry palette, or 24 bits.
[[nodiscard]] Result<> writeBmp(const QImage &picture, QIODevice &out);

} // namespace velumbra
