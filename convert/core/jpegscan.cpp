#include "convert/core/jpegscan.h"

#include <cstring>

namespace velumbra {
namespace {

constexpr unsigned kSoi = 0xD8;
constexpr unsigned kEoi = 0xD9;
constexpr unsigned kSos = 0xDA;

unsigned at(std::span<const std::byte> data, std::size_t i)
{
    return std::to_integer<unsigned>(data[i]);
}

// Markers without a length field: TEM and the restart markers.
bool standsAlone(unsigned marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

} // namespace

bool looksLikeJpeg(std::span<const std::byte> data)
{
    return data.size() >= 3 && at(data, 0) == 0xFF && at(data, 1) == kSoi && at(data, 2) == 0xFF;
}

bool jpegReachesEnd(std::span<const std::byte> data)
{
    if (!looksLikeJpeg(data))
        return false;
    std::size_t i = 2;
    const std::size_t n = data.size();
    while (i < n) {
        if (at(data, i) != 0xFF) {
            // Stray bytes between segments: the decoder skips them too.
            ++i;
            continue;
        }
        while (i < n && at(data, i) == 0xFF) // fill bytes
            ++i;
        if (i >= n)
            return false;
        const unsigned marker = at(data, i++);
        if (marker == kEoi)
            return true;
        if (marker == 0x00 || standsAlone(marker))
            continue;
        if (i + 2 > n)
            return false;
        const std::size_t length = (std::size_t(at(data, i)) << 8) | at(data, i + 1);
        if (length < 2 || i + length > n)
            return false;
        i += length;
        if (marker != kSos)
            continue;
        // Entropy-coded data: runs until a marker other than a stuffed zero
        // or a restart marker.
        for (;;) {
            const void *ff = std::memchr(data.data() + i, 0xFF, n - i);
            if (!ff)
                return false;
            i = std::size_t(static_cast<const std::byte *>(ff) - data.data());
            if (i + 1 >= n)
                return false;
            const unsigned next = at(data, i + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
                i += next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
    return false;
}

} // namespace velumbra
