// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

#include <cmath>
#include <vector>

namespace velumbra {

/// A clock that only moves when the test moves it.
class FakeClock final : public Clock
{
public:
    double days = 0.0; ///< date-time value in days

    [[nodiscard]] double now() const override { return days; }
    [[nodiscard]] std::int64_t secondsSinceMidnight() const override
    {
        const double frac = days - std::floor(days);
        return std::int64_t(std::llround(frac * 86400.0)) % 86400;
    }
    void advanceSeconds(double seconds) { days += seconds / 86400.0; }
};

/// A random source that plays back scripted draws, over and over.
class ScriptedRandom final : public RandomSource
{
public:
    std::vector<double> draws;
    std::uint32_t lastSeed = 0;
    int seedCount = 0;

    void seed(std::uint32_t s) override
    {
        lastSeed = s;
        ++seedCount;
    }
    [[nodiscard]] double next() override
    {
        if (draws.empty())
            return 0.0;
        return draws[m_next++ % draws.size()];
    }

private:
    std::size_t m_next = 0;
};

} // namespace velumbra
