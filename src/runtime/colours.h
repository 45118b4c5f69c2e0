#pragma once

#include <QColor>

#include <cstdint>

// A colour value as the form runtime stores it: 0x00BBGGRR for an explicit
// colour (red in the low byte); with bit 31 set, the low byte names a system
// colour of the desktop scheme.
using OleColor = std::uint32_t;

namespace SystemColour {
constexpr OleColor Flag = 0x80000000u;
constexpr OleColor Window = Flag | 5;
constexpr OleColor WindowText = Flag | 8;
constexpr OleColor CaptionText = Flag | 9;
constexpr OleColor ButtonFace = Flag | 15;
constexpr OleColor ButtonText = Flag | 18;
} // namespace SystemColour

constexpr OleColor rgbColour(int red, int green, int blue)
{
    return OleColor(red & 0xFF) | OleColor(green & 0xFF) << 8 | OleColor(blue & 0xFF) << 16;
}

constexpr bool isSystemColour(OleColor colour)
{
    return (colour & SystemColour::Flag) != 0;
}

// The explicit 0x00BBGGRR value of a colour; a system colour is looked up in
// the fixed classic scheme (an unknown index gives black).
OleColor resolveColour(OleColor colour);

QColor toQColor(OleColor colour);
OleColor fromQColor(const QColor &colour);
