#include "numbers.h"

#include "runtimeerror.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

namespace {

template<typename Int>
Int roundInto(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= double(std::numeric_limits<Int>::min())
          && rounded <= double(std::numeric_limits<Int>::max()))) {
        throw RuntimeError::overflow(
            QStringLiteral("The number %1 is too large: a whole number from %2 to %3 is needed.")
                .arg(formatNumber(value, QLocale::c()))
                .arg(std::numeric_limits<Int>::min())
                .arg(std::numeric_limits<Int>::max()));
    }
    return static_cast<Int>(rounded);
}

// A cursor over the text that steps over blanks, tabs and line feeds wherever
// they stand, so "7 5" reads as 75.
class NumberCursor
{
public:
    explicit NumberCursor(QStringView text) : m_text(text) {}

    char16_t peek()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos].unicode()))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos].unicode() : u'\0';
    }
    void advance() { ++m_pos; }

    bool take(char16_t upper)
    {
        const char16_t c = peek();
        if (c != upper && c != upper + (u'a' - u'A'))
            return false;
        advance();
        return true;
    }

private:
    static bool isSkipped(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

    QStringView m_text;
    qsizetype m_pos = 0;
};

bool isDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int digitValue(char16_t c, int radix)
{
    int digit = -1;
    if (c >= u'0' && c <= u'9')
        digit = c - u'0';
    else if (c >= u'A' && c <= u'F')
        digit = c - u'A' + 10;
    else if (c >= u'a' && c <= u'f')
        digit = c - u'a' + 10;
    return digit < radix ? digit : -1;
}

double scanRadix(NumberCursor &cursor, int radix, bool &found)
{
    double value = 0.0;
    for (int digit; (digit = digitValue(cursor.peek(), radix)) >= 0; cursor.advance()) {
        value = value * radix + digit;
        found = true;
    }
    if (std::isinf(value))
        throw RuntimeError::overflow(QStringLiteral("The number is too large."));
    return value;
}

constexpr long long ExponentLimit = 1'000'000'000'000LL;

double scanDecimal(NumberCursor &cursor, bool &found)
{
    std::string number;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        if (cursor.peek() == u'-')
            number += '-';
        cursor.advance();
    }

    // The decimal magnitude of the mantissa, counted from its first non-zero
    // digit, tells an overflow from an underflow when the double cannot hold
    // the result.
    long long magnitude = 0;
    bool seenNonZero = false;
    bool seenPoint = false;
    bool seenDigit = false;
    for (char16_t c = cursor.peek(); isDecimalDigit(c) || (c == u'.' && !seenPoint); c = cursor.peek()) {
        cursor.advance();
        if (c == u'.') {
            seenPoint = true;
            number += '.';
            continue;
        }
        seenDigit = true;
        seenNonZero = seenNonZero || c != u'0';
        if (seenNonZero && !seenPoint)
            ++magnitude;
        else if (!seenNonZero && seenPoint)
            --magnitude;
        number += char(c);
    }
    if (!seenDigit)
        return 0.0;
    found = true;

    if (cursor.take(u'E') || cursor.take(u'D')) {
        bool negative = false;
        if (cursor.peek() == u'+' || cursor.peek() == u'-') {
            negative = cursor.peek() == u'-';
            cursor.advance();
        }
        long long exponent = 0;
        bool exponentDigits = false;
        for (char16_t c = cursor.peek(); isDecimalDigit(c); c = cursor.peek()) {
            cursor.advance();
            exponentDigits = true;
            exponent = std::min(exponent * 10 + (c - u'0'), ExponentLimit);
        }
        if (exponentDigits) {
            if (negative)
                exponent = -exponent;
            magnitude += exponent;
            number += 'e' + std::to_string(exponent);
        }
    }
    if (!seenNonZero)
        return 0.0;

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        if (magnitude > 0)
            throw RuntimeError::overflow(QStringLiteral("The number is too large."));
        return 0.0;
    }
    if (std::isinf(value))
        throw RuntimeError::overflow(QStringLiteral("The number is too large."));
    return value;
}

} // namespace

std::int16_t toInt16(double value)
{
    return roundInto<std::int16_t>(value);
}

std::int32_t toInt32(double value)
{
    return roundInto<std::int32_t>(value);
}

std::optional<double> scanNumberIfAny(QStringView text)
{
    NumberCursor cursor(text);
    bool found = false;
    double value = 0.0;
    if (cursor.peek() == u'&') {
        cursor.advance();
        if (cursor.take(u'H'))
            value = scanRadix(cursor, 16, found);
        else if (cursor.take(u'O'))
            value = scanRadix(cursor, 8, found);
    } else {
        value = scanDecimal(cursor, found);
    }
    return found ? std::optional<double>(value) : std::nullopt;
}

double scanNumber(QStringView text)
{
    return scanNumberIfAny(text).value_or(0.0);
}

QString formatNumber(double value, const QLocale &locale)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15).toUpper();
    text.replace(u'.', locale.decimalPoint());
    return text;
}
