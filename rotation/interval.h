// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velumbra {

/// The units of the rotation interval, by index of their option button.
enum class IntervalUnit { Seconds = 0, Minutes = 1, Hours = 2 };

struct RotationInterval
{
    double count = 1.0; ///< the count forced into the unit's range
    double days = 0.0;  ///< the interval as a fraction of a day
};

/// Reads the count from @p text, forces it to at least 1 and at most 59
/// (seconds, minutes) or 23 (hours), and converts it to days. An index other
/// than 0 or 1 counts as hours.
[[nodiscard]] RotationInterval computeInterval(std::string_view text, int unitIndex);

/// The count as it is written back into the interval box: a whole number as
/// its digits, any other number with a point, so that reading it again gives
/// the same count whatever the locale.
[[nodiscard]] std::string formatCount(double count);

} // namespace velumbra
