#include "rotation/interval.h"

#include <gtest/gtest.h>

namespace {

using velumbra::computeInterval;
using velumbra::formatCount;

struct Case
{
    const char *text;
    int unit;
    double count;
    const char *shown;
    double seconds;
};

const Case kCases[] = {
    {"", 0, 1, "1", 1},
    {"abc", 1, 1, "1", 60},
    {"-5", 2, 1, "1", 3600},
    {"0.5", 0, 1, "1", 1},
    {"90", 0, 59, "59", 59},
    {"90", 1, 59, "59", 59 * 60},
    {"90", 2, 23, "23", 23 * 3600},
    {"30", 2, 23, "23", 23 * 3600},
    {"23", 1, 23, "23", 23 * 60},
    {"2.5", 1, 2.5, "2.5", 150},
    {"1 5", 1, 15, "15", 15 * 60},
    {"12abc", 0, 12, "12", 12},
    {"&H10", 1, 16, "16", 16 * 60},
    {"1E400", 2, 23, "23", 23 * 3600},
    {"&HFFFFFFFFFFFF", 0, 59, "59", 59},
    {"-1E400", 1, 1, "1", 60},
    {"5", -1, 5, "5", 5 * 3600}, // no unit selected counts as hours
};

class Interval : public testing::TestWithParam<Case>
{
};

TEST_P(Interval, ClampsToTheUnitAndConvertsToDays)
{
    const Case &c = GetParam();
    const auto r = computeInterval(c.text, c.unit);
    EXPECT_DOUBLE_EQ(r.count, c.count);
    EXPECT_EQ(formatCount(r.count), c.shown);
    EXPECT_NEAR(r.days * 86400.0, c.seconds, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Table, Interval, testing::ValuesIn(kCases));

TEST(Interval, DividesInTheDocumentedOrder)
{
    // Stored due times are compared with this exact double.
    EXPECT_EQ(computeInterval("7", 0).days, 7.0 / 24 / 60 / 60);
    EXPECT_EQ(computeInterval("7", 1).days, 7.0 / 24 / 60);
    EXPECT_EQ(computeInterval("7", 2).days, 7.0 / 24);
}

TEST(Interval, AValidatedCountReadsBackUnchanged)
{
    // Written back with a point, the count survives validation after validation.
    for (const char *text : {"2.5", "1.25", "33.3333333333333", "7"}) {
        const auto first = computeInterval(text, 1);
        const auto second = computeInterval(formatCount(first.count), 1);
        EXPECT_EQ(second.count, first.count) << text;
        EXPECT_EQ(formatCount(second.count), formatCount(first.count)) << text;
    }
}

} // namespace
