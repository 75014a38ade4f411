#include "BasicNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace tekkora {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Walks the text one significant character at a time, blanks skipped.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { skipBlanks(); }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance()
    {
        ++pos_;
        skipBlanks();
    }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        advance();
        return true;
    }
    bool takeEither(char upper)
    {
        return take(upper) || take(static_cast<char>(upper - 'A' + 'a'));
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int octDigit(char c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

// "&H" and "&O" numbers are typed like BASIC literals: a value that fits in
// 16 bits is an Integer, one that fits in 32 bits a Long, both signed, so
// "&HFFFF" is -1. Longer ones keep their plain value.
double radixNumber(Cursor &cur, int radix, int (*digitOf)(char))
{
    std::uint64_t value = 0;
    bool tooLong = false;
    double big = 0.0;
    for (int d = digitOf(cur.peek()); d >= 0; d = digitOf(cur.peek())) {
        if (!tooLong && value > (std::numeric_limits<std::uint64_t>::max() - d) / radix) {
            tooLong = true;
            big = static_cast<double>(value);
        }
        if (tooLong)
            big = big * radix + d;
        else
            value = value * radix + d;
        cur.advance();
    }
    if (tooLong)
        return big;
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    if (value <= 0xFFFFFFFF)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<double>(value);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

double decimalNumber(Cursor &cur)
{
    // Gathered without blanks into the form from_chars reads; from_chars
    // does not depend on the locale's decimal point, strtod would.
    std::string number;
    if (cur.take('-'))
        number += '-';
    else
        cur.take('+');

    std::size_t intDigits = 0;      // significant digits before the point
    std::size_t leadingFraction = 0; // zeros right after the point, when no significant digit came before
    bool significant = false;
    bool anyDigit = false;
    while (isDigit(cur.peek())) {
        if (cur.peek() != '0')
            significant = true;
        if (significant)
            ++intDigits;
        number += cur.peek();
        anyDigit = true;
        cur.advance();
    }
    if (cur.take('.')) {
        number += '.';
        while (isDigit(cur.peek())) {
            if (!significant && cur.peek() == '0')
                ++leadingFraction;
            else
                significant = true;
            number += cur.peek();
            anyDigit = true;
            cur.advance();
        }
    }
    if (!anyDigit)
        return 0.0;

    long long exponent = 0;
    if (cur.peek() == 'E' || cur.peek() == 'e' || cur.peek() == 'D' || cur.peek() == 'd') {
        cur.advance();
        bool negative = false;
        if (cur.take('-'))
            negative = true;
        else
            cur.take('+');
        while (isDigit(cur.peek())) {
            // Beyond this every nonzero number is out of any double's range.
            if (exponent < 100000)
                exponent = exponent * 10 + (cur.peek() - '0');
            cur.advance();
        }
        if (negative)
            exponent = -exponent;
        number += 'e';
        number += std::to_string(exponent);
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: which of the two follows from
        // the decimal magnitude.
        const long long magnitude =
            intDigits > 0 ? static_cast<long long>(intDigits) + exponent : exponent - static_cast<long long>(leadingFraction);
        const bool negative = number.front() == '-';
        if (!significant || magnitude <= 0)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

} // namespace

double basicVal(std::string_view text)
{
    Cursor cur(text);
    if (cur.take('&')) {
        if (cur.takeEither('H'))
            return radixNumber(cur, 16, hexDigit);
        if (cur.takeEither('O'))
            return radixNumber(cur, 8, octDigit);
        // Only H and O make a radix: "&17" is no number.
        return 0.0;
    }
    return decimalNumber(cur);
}

std::int16_t roundToInt16Clamped(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 32767.0)
        return 32767;
    if (value <= -32768.0)
        return -32768;
    // Halves go to the even neighbour whatever the FPU's rounding mode.
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded > 32767.0)
        return 32767;
    return static_cast<std::int16_t>(rounded);
}

} // namespace tekkora
