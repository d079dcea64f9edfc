// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velumbra {

/// The mount points a person browses, from the text of /proc/self/mountinfo:
/// the root always, then disk partitions, network shares and removable media
/// (under /media, /run/media and /mnt), never pseudo file systems nor the
/// system's own mounts (/proc, /sys, /dev, /run, /boot, …). The root comes
/// first, the others in byte order, each once.
[[nodiscard]] std::vector<std::string> browsableMounts(std::string_view mountinfo);

/// A mount point as /proc writes it, with its octal escapes ("\040" for a
/// blank) decoded.
[[nodiscard]] std::string unescapeMountField(std::string_view field);

} // namespace velumbra
