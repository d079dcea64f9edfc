// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velumbra {

/// The name of a file's BMP copy: cut just after the first point, then "bmp";
/// a name without any point gets ".bmp" added (photo.old.jpg -> photo.bmp, readme -> readme.bmp).
[[nodiscard]] std::string bmpCopyName(std::string_view fileName);

/// A file's full name as the conversions build it: the separator is always
/// inserted, so at a root the folder's own separator is doubled.
[[nodiscard]] std::string conversionFullName(std::string_view folder, char separator,
                                             std::string_view fileName);

} // namespace velumbra
