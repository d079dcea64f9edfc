#pragma once

// A solid 24-bit BMP in plain C++, for the tests built without Qt (the
// Windows backends): a real picture, which a real Windows accepts as a
// wallpaper too.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace velumbra::test {

/// Writes a @p width x @p height BMP of colour 0xRRGGBB to @p file; false when it cannot.
inline bool writeSolidBmp(const std::filesystem::path &file, int width, int height,
                          std::uint32_t rgb)
{
    const std::uint32_t row = (3 * std::uint32_t(width) + 3) & ~3u, pixels = row * height;
    std::string bytes = "BM";
    const auto put = [&bytes](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            bytes += char(v >> (8 * i));
    };
    for (std::uint32_t v : {54 + pixels, 0u, 54u, 40u, std::uint32_t(width), std::uint32_t(height),
                            1u | 24u << 16, 0u, pixels, 2835u, 2835u, 0u, 0u})
        put(v, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            put(rgb, 3); // blue, green, red
        put(0, int(row) - 3 * width);
    }
    std::ofstream out(file, std::ios::binary);
    return bool(out << bytes) && bool(out.flush());
}

} // namespace velumbra::test
