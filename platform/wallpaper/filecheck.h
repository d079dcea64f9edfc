// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>

namespace velumbra {

// Whether @p path can serve as a wallpaper file (not empty, present, not a
// folder, readable). Desktops that accept any name and show nothing need this
// check before they are called.
[[nodiscard]] Result<> checkWallpaperFile(const std::string &path);

} // namespace velumbra
