// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/core/preview.h"

#include <algorithm>
#include <cmath>

namespace velumbra {

HalfSize halfSize(PixelSize picture)
{
    return {picture.width / 2.0, picture.height / 2.0};
}

PixelSize previewPixels(PixelSize picture)
{
    const HalfSize half = halfSize(picture);
    return {int(std::ceil(half.width)), int(std::ceil(half.height))};
}

PixelSize decodeSize(PixelSize picture, double devicePixelRatio)
{
    const HalfSize half = halfSize(picture);
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    return {
        std::clamp(int(std::ceil(half.width * ratio)), std::min(1, picture.width), picture.width),
        std::clamp(int(std::ceil(half.height * ratio)), std::min(1, picture.height),
                   picture.height)};
}

bool previewCanShow(PixelSize size)
{
    if (size.width <= 0 || size.height <= 0 || size.width > kLargestSide ||
        size.height > kLargestSide)
        return false;
    const std::int64_t bytes = std::int64_t(size.width) * size.height * 4;
    return bytes <= std::int64_t(kDecoderLimitMB) * 1024 * 1024;
}

std::string infoLine(std::string_view path, std::optional<PixelSize> picture, int screenWidth,
                     int screenHeight)
{
    std::string line(path);
    if (picture) {
        line += " (" + std::to_string(picture->width) + " x " + std::to_string(picture->height) +
                " pixels pour un écran de " + std::to_string(screenWidth) + " x " +
                std::to_string(screenHeight) + ")";
    }
    return line;
}

std::string screenSizeLine(int width, int height)
{
    return "La taille de l'écran est de " + std::to_string(width) + " pixels sur " +
           std::to_string(height);
}

} // namespace velumbra
