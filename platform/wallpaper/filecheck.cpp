// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/filecheck.h"

#include <filesystem>
#include <fstream>

namespace velumbra {

Result<> checkWallpaperFile(const std::string &path)
{
    if (path.empty())
        return Failure{"Aucun fichier n'est choisi : le papier peint reste inchangé."};
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(std::u8string(path.begin(), path.end()));
    const auto status = fs::status(p, ec);
    if (ec || !fs::exists(status))
        return Failure{"Le fichier « " + path +
                       " » n'existe pas : le papier peint reste inchangé."};
    if (fs::is_directory(status))
        return Failure{"« " + path +
                       " » est un dossier, pas une image : le papier peint reste inchangé."};
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return Failure{"Le fichier « " + path +
                       " » ne peut pas être lu : le papier peint reste inchangé."};
    return Result<>::success();
}

} // namespace velumbra
