// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <optional>
#include <string>
#include <vector>

namespace velumbra {

// What the backends that drive a desktop program (swaybg, pcmanfm-qt,
// pcmanfm) share: the picture checked before the program sees it, since
// those programs take any file without a word, and what /proc says about the
// program's process.

// @p path made absolute, once it is a picture Qt can read (a file that
// exists, readable, with a header of a known format).
[[nodiscard]] Result<std::string> checkedPicture(const std::string &path);

// A process as /proc/PID/stat describes it.
struct ProcessState
{
    char state = '?'; // 'R', 'S', 'D', 'Z' (ended, not yet reaped), ...
    long parent = 0;
    unsigned long long startTime = 0; // clock ticks after boot: tells a reused PID apart
    std::string name;                 // the program's short name (comm)
};
[[nodiscard]] std::optional<ProcessState> processState(long pid);

// The arguments @p pid was started with.
[[nodiscard]] std::vector<std::string> processArguments(long pid);

// The configuration profile named by the options "--profile NAME",
// "--profile=NAME", "-p NAME" or "-pNAME" in @p arguments, the program's
// first; "default" (what pcmanfm and pcmanfm-qt use) when there is none.
[[nodiscard]] std::string profileOption(const std::vector<std::string> &arguments);

} // namespace velumbra
