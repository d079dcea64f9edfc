// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <span>

namespace velumbra {

/// Fills the buffer with the file's next bytes and returns how many: 0 at
/// its end (or on a read error).
using ReadBytes = std::function<std::size_t(std::span<std::byte>)>;

/// The formats whose decoders hand back a picture with its missing part
/// blank, instead of failing, when the file is cut short.
enum class ScannedFormat { Jpeg, Gif, Bmp };

/// Whether the file holds every byte its pixels need, read once from its
/// start through @p read: a JPEG reaches its end-of-image marker, a GIF's
/// first picture its last data block, a bitmap all of its rows (run-length
/// ones their last row or their end code). False for a file cut anywhere;
/// bytes after the end are allowed.
[[nodiscard]] bool reachesEnd(ScannedFormat format, const ReadBytes &read);

/// As above, for bytes already in memory.
[[nodiscard]] bool reachesEnd(ScannedFormat format, std::span<const std::byte> data);

} // namespace velumbra
