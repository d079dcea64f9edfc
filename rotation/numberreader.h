// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace velumbra {

/// The number that @p text begins with, read the lenient way the interval box
/// has always been read: blanks, tabs and line feeds are skipped anywhere; an
/// optional sign, digits, a point as the only decimal separator and an
/// exponent after E or D; &H and &O read hexadecimal and octal whole numbers.
/// Reading stops at the first character that cannot continue the number; a
/// text that does not begin with a number gives 0. Never NaN: an overflow
/// gives an infinity of the right sign.
[[nodiscard]] double readNumber(std::string_view text);

} // namespace velumbra
