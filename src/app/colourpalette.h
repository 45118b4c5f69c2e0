#pragma once

#include "colours.h"

#include <QString>

#include <optional>

// The colours the window offers for a column, one a palette cell, and the
// names colours are read out by.
namespace ColourPalette {

constexpr int Size = 16;

// The colour of the palette cell `index`, 0 to Size - 1.
OleColor colour(int index);

// A name to read out for a colour: the palette's names, black and white, or
// its red, green and blue parts.
QString colourName(OleColor colour);

// The colour a name stands for: a palette colour's name, black or white,
// in any case. Nothing for another name.
std::optional<OleColor> colourNamed(QStringView name);

} // namespace ColourPalette
