// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/core/bmpname.h"

namespace velumbra {

std::string bmpCopyName(std::string_view fileName)
{
    const std::size_t point = fileName.find('.');
    // Without a point the bare "bmp" would be a file the BMP filter never lists.
    if (point == std::string_view::npos)
        return std::string(fileName) + ".bmp";
    return std::string(fileName.substr(0, point + 1)) + "bmp";
}

std::string conversionFullName(std::string_view folder, char separator, std::string_view fileName)
{
    std::string full;
    full.reserve(folder.size() + 1 + fileName.size());
    full.append(folder).push_back(separator);
    full.append(fileName);
    return full;
}

} // namespace velumbra
