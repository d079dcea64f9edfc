// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <ctime>
#include <random>

namespace velumbra {
namespace {

// Days from 1970-01-01 to y-m-d in the proleptic Gregorian calendar.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

std::tm localNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

constexpr long long kDaysFrom1899To1970 = 25569;

} // namespace

double SystemClock::now() const
{
    const std::tm tm = localNow();
    const long long days =
        daysFromCivil(tm.tm_year + 1900LL, unsigned(tm.tm_mon + 1), unsigned(tm.tm_mday)) +
        kDaysFrom1899To1970;
    const int secs = tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
    return double(days) + secs / 86400.0;
}

std::int64_t SystemClock::secondsSinceMidnight() const
{
    const std::tm tm = localNow();
    return tm.tm_hour * 3600 + tm.tm_min * 60 + (tm.tm_sec > 59 ? 59 : tm.tm_sec);
}

struct SystemRandom::Impl
{
    std::mt19937_64 engine;
};

SystemRandom::SystemRandom() : m_impl(std::make_unique<Impl>()) {}

SystemRandom::~SystemRandom() = default;

void SystemRandom::seed(std::uint32_t seed)
{
    m_impl->engine.seed(seed);
}

double SystemRandom::next()
{
    // 53 random bits scaled into [0, 1): never 1.0, unlike some
    // uniform_real_distribution implementations.
    return double(m_impl->engine() >> 11) * 0x1.0p-53;
}

} // namespace velumbra
