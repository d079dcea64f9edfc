#pragma once

#include <string>

namespace velumbra {

// Why @p path cannot serve as a wallpaper file (empty, missing, a folder,
// unreadable), as one French sentence; empty when it can. Desktops that
// accept any name and show nothing need this check before they are called.
[[nodiscard]] std::string wallpaperFileProblem(const std::string &path);

} // namespace velumbra
