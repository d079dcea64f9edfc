// SPDX-License-Identifier: GPL-3.0-or-later
#include "rotation/interval.h"

#include "rotation/numberreader.h"

#include <array>
#include <charconv>
#include <cmath>

namespace velumbra {

RotationInterval computeInterval(std::string_view text, int unitIndex)
{
    double x = readNumber(text);
    if (!(x >= 1.0))
        x = 1.0;
    RotationInterval r;
    switch (unitIndex) {
    case int(IntervalUnit::Seconds):
        r.count = x > 59.0 ? 59.0 : x;
        r.days = r.count / 24 / 60 / 60;
        break;
    case int(IntervalUnit::Minutes):
        r.count = x > 59.0 ? 59.0 : x;
        r.days = r.count / 24 / 60;
        break;
    default:
        r.count = x > 23.0 ? 23.0 : x;
        r.days = r.count / 24;
        break;
    }
    return r;
}

std::string formatCount(double count)
{
    std::array<char, 64> buf{};
    if (std::isfinite(count) && count == std::floor(count) && std::fabs(count) < 1e15) {
        const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), (long long)count);
        return std::string(buf.data(), res.ptr);
    }
    // Fifteen significant digits, as the number was always shown.
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), count, std::chars_format::general, 15);
    return std::string(buf.data(), res.ptr);
}

} // namespace velumbra
