// SPDX-License-Identifier: GPL-3.0-or-later
#include "rotation/numberreader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace velumbra {
namespace {

class Cursor
{
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    // The next character that is not a blank, tab or line feed, or 0 at the end.
    char peek()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void advance() { ++m_pos; }
    std::size_t position() const { return m_pos; }
    void rewind(std::size_t pos) { m_pos = pos; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
    std::string_view m_text;
    std::size_t m_pos = 0;
};

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char u = char(std::toupper(static_cast<unsigned char>(c)));
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 99;
}

double readWhole(Cursor &in, int base)
{
    double value = 0.0;
    for (int d = digitValue(in.peek()); d < base; d = digitValue(in.peek())) {
        value = value * base + d; // past 2^53 only precision is lost; huge runs reach infinity
        in.advance();
    }
    return value;
}

} // namespace

double readNumber(std::string_view text)
{
    Cursor in(text);
    if (in.peek() == '&') {
        in.advance();
        const char kind = char(std::toupper(static_cast<unsigned char>(in.peek())));
        if (kind != 'H' && kind != 'O')
            return 0.0;
        in.advance();
        return readWhole(in, kind == 'H' ? 16 : 8);
    }

    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }

    std::string mantissa;
    int integerDigits = 0;        // significant digits before the point
    int leadingFractionZeros = 0; // zeros right after the point before any other digit
    bool seenPoint = false;
    bool seenDigit = false;
    bool seenNonZero = false;
    for (char c = in.peek();; c = in.peek()) {
        if (c >= '0' && c <= '9') {
            seenDigit = true;
            if (c != '0')
                seenNonZero = true;
            if (!seenPoint && seenNonZero)
                ++integerDigits;
            if (seenPoint && !seenNonZero)
                ++leadingFractionZeros;
            mantissa += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            mantissa += c;
        } else {
            break;
        }
        in.advance();
    }
    if (!seenDigit)
        return 0.0;

    long long exponent = 0;
    const char e = char(std::toupper(static_cast<unsigned char>(in.peek())));
    if (e == 'E' || e == 'D') {
        const std::size_t mark = in.position();
        in.advance();
        bool expNegative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            expNegative = in.peek() == '-';
            in.advance();
        }
        if (in.peek() >= '0' && in.peek() <= '9') {
            for (char c = in.peek(); c >= '0' && c <= '9'; c = in.peek()) {
                if (exponent < 1'000'000)
                    exponent = exponent * 10 + (c - '0');
                in.advance();
            }
            if (expNegative)
                exponent = -exponent;
        } else {
            in.rewind(mark); // "12E" or "12Eabc": the E does not belong to the number
        }
    }

    if (!seenNonZero)
        return negative ? -0.0 : 0.0;

    const std::string literal = mantissa + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), value,
                                           std::chars_format::scientific);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Where the first significant digit lands decides overflow or underflow.
        const long long magnitude =
            (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace velumbra
