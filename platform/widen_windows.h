// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>

namespace velumbra {

/// @p utf8 in the UTF-16 that the wide functions of the Windows API take;
/// fails when @p utf8 is not valid UTF-8. Windows only.
[[nodiscard]] Result<std::wstring> widen(const std::string &utf8);

} // namespace velumbra
