// SPDX-License-Identifier: GPL-3.0-or-later
// The check that a JPEG, GIF or bitmap is whole: the same answer whether the
// file comes in one piece or in small ones.

#include "convert/core/picturescan.h"
#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <vector>

using velumbra::reachesEnd;
using velumbra::ScannedFormat;

VELUMBRA_FUZZ_TARGET(text)
{
    if (text.empty())
        return;
    const std::size_t piece = 1 + static_cast<unsigned char>(text[0]) % 16;
    std::vector<std::byte> data(text.size() - 1);
    std::transform(text.begin() + 1, text.end(), data.begin(), [](char c) { return std::byte(c); });
    for (const ScannedFormat format :
         {ScannedFormat::Jpeg, ScannedFormat::Gif, ScannedFormat::Bmp}) {
        const bool whole = reachesEnd(format, data);
        std::size_t at = 0;
        const bool inPieces = reachesEnd(format, [&](std::span<std::byte> buffer) {
            const std::size_t n = std::min({piece, buffer.size(), data.size() - at});
            std::copy_n(data.begin() + std::ptrdiff_t(at), n, buffer.begin());
            at += n;
            return n;
        });
        FUZZ_CHECK(whole == inPieces);
    }
}
