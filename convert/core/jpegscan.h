#pragma once

#include <cstddef>
#include <span>

namespace velumbra {

/// Whether a JPEG stream reaches its end-of-image marker: false for a file cut
/// short anywhere, including inside its compressed data.
[[nodiscard]] bool jpegReachesEnd(std::span<const std::byte> data);

/// Whether the data starts like a JPEG file (the start-of-image marker).
[[nodiscard]] bool looksLikeJpeg(std::span<const std::byte> data);

} // namespace velumbra
