#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Rounds to the nearest integer; a value exactly halfway between two integers
// goes to the even one (12.5 -> 12, 13.5 -> 14, -2.5 -> -2).
double roundHalfEven(double value);

// Rounds half to even into a 16- or 32-bit signed integer. A result that does
// not fit, or a value that is not a number, throws RuntimeError (Overflow).
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// Reads the number at the start of a text box's text: blanks, tabs and line
// feeds are skipped anywhere; then an optional sign, decimal digits with at
// most one ".", an optional exponent (E or D, optional sign, digits), or the
// prefixes "&H" (hexadecimal) and "&O" (octal). Reading stops at the first
// character that cannot continue the number; a text with no number gives 0.
// The decimal point is always ".", whatever the locale. A number too large
// for a double throws RuntimeError (Overflow).
double scanNumber(QStringView text);
// The same, telling a text with no number at its start (nothing) from one
// that reads as 0.
std::optional<double> scanNumberIfAny(QStringView text);

// The standard text form of a double: no leading blank, up to 15 significant
// digits, exponent form ("1E+15", "1.5E-05") outside that range, and the
// locale's decimal separator for a fraction.
QString formatNumber(double value, const QLocale &locale = QLocale());
