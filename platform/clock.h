// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

namespace velumbra {

/// The wall clock, as date-time values counted in days.
class Clock
{
public:
    virtual ~Clock() = default;

    /// Local date and time in days since 1899-12-30 00:00, to the whole second.
    [[nodiscard]] virtual double now() const = 0;

    /// Whole seconds since local midnight (0 to 86399).
    [[nodiscard]] virtual std::int64_t secondsSinceMidnight() const = 0;
};

/// A seeded uniform random generator.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    /// Restarts the sequence from @p seed.
    virtual void seed(std::uint32_t seed) = 0;

    /// A uniform draw in [0, 1).
    [[nodiscard]] virtual double next() = 0;
};

/// The local clock of the machine.
class SystemClock final : public Clock
{
public:
    [[nodiscard]] double now() const override;
    [[nodiscard]] std::int64_t secondsSinceMidnight() const override;
};

/// A Mersenne twister behind RandomSource.
class SystemRandom final : public RandomSource
{
public:
    SystemRandom();
    ~SystemRandom() override;
    SystemRandom(const SystemRandom &) = delete;
    SystemRandom &operator=(const SystemRandom &) = delete;
    void seed(std::uint32_t seed) override;
    [[nodiscard]] double next() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace velumbra
