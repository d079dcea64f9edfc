#include "rotation/numberreader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct Case
{
    const char *text;
    double expected;
};

// One case a line, as the reader's rules are listed.
// clang-format off
const Case kCases[] = {
    {"", 0},
    {"abc", 0},
    {"5", 5},
    {"  42", 42},
    {"-5", -5},
    {"+7", 7},
    {"1 5", 15},
    {"1\t2\n3", 123},
    {"12abc", 12},
    {"2.5", 2.5},
    {".5", 0.5},
    {"2,5", 2},       // a comma never separates decimals
    {"1.2.3", 1.2},
    {"1E3", 1000},
    {"1e-2", 0.01},
    {"2D2", 200},
    {"3E", 3},        // an E without digits is not part of the number
    {"3E+x", 3},
    {"- 4", -4},
    {"&H10", 16},
    {"&hff", 255},
    {"&O17", 15},
    {"&o8", 0},       // 8 is no octal digit
    {"&H", 0},
    {"&X1", 0},
    {"&H1G", 1},
    {"0.000", 0},
    {"-", 0},
    {".", 0},
};
// clang-format on

class ReadNumber : public testing::TestWithParam<Case>
{
};

TEST_P(ReadNumber, ReadsTheLeadingNumber)
{
    const Case &c = GetParam();
    EXPECT_DOUBLE_EQ(velumbra::readNumber(c.text), c.expected) << "text: \"" << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ReadNumber, testing::ValuesIn(kCases));

TEST(ReadNumberOverflow, NeverNaNAndKeepsTheSign)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        std::string text;
        double expected;
    } cases[] = {
        {"1E400", inf},
        {"-1E400", -inf},
        {"1E-400", 0},
        {"0.00001E-320", 0},
        {std::string(400, '9'), inf},
        {"1E99999999999999999999", inf},
        {"&HFFFFFFFFFFFF", 281474976710655.0},
        {"&H" + std::string(300, 'F'), inf},
    };
    for (const auto &c : cases) {
        const double v = velumbra::readNumber(c.text);
        EXPECT_FALSE(std::isnan(v)) << c.text;
        EXPECT_EQ(v, c.expected) << c.text;
    }
}

} // namespace
