// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velumbra {

struct PixelSize
{
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize &, const PixelSize &) = default;
};

struct HalfSize
{
    double width = 0;
    double height = 0;
};

/// The preview's size: half the picture's, in floating point (801 gives 400.5).
[[nodiscard]] HalfSize halfSize(PixelSize picture);

/// The half size as whole window pixels: halves round up, so that a 1 x 1
/// picture still shows as one pixel.
[[nodiscard]] PixelSize previewPixels(PixelSize picture);

/// The size to ask the decoder for: the preview's size in device pixels
/// (@p devicePixelRatio per window pixel), never more than the picture itself.
[[nodiscard]] PixelSize decodeSize(PixelSize picture, double devicePixelRatio);

/// The decoder's memory limit in megabytes: a 100-megapixel camera picture
/// at 4 bytes a pixel fits, a header claiming 60000 x 60000 does not.
inline constexpr int kDecoderLimitMB = 512;

/// The longest side the preview takes: its half, 32,767 pixels, is the
/// largest an X server draws, and up to there Qt 6.4's smooth scaling stays
/// within its arithmetic (it crashes on a picture half a million pixels wide).
inline constexpr int kLargestSide = 65534;

/// Whether the preview shows a picture of @p size: at most kDecoderLimitMB
/// at 4 bytes a pixel, whatever the format, and no side longer than
/// kLargestSide; a size with no pixels never.
[[nodiscard]] bool previewCanShow(PixelSize size);

/// The preview's info line: the path, then, when the picture was decoded,
/// " (W x H pixels pour un écran de SW x SH)".
[[nodiscard]] std::string infoLine(std::string_view path, std::optional<PixelSize> picture,
                                   int screenWidth, int screenHeight);

/// "La taille de l'écran est de W pixels sur H": the info line before any
/// picture is chosen.
[[nodiscard]] std::string screenSizeLine(int width, int height);

} // namespace velumbra
