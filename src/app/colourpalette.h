#pragma once

#include "colours.h"

#include <QString>

// The colours the window offers for a column, one a palette cell, and the
// names colours are read out by.
namespace ColourPalette {

constexpr int Size = 16;

// The colour of the palette cell `index`, 0 to Size - 1.
OleColor colour(int index);

// A name to read out for a colour: the palette's names, black and white, or
// its red, green and blue parts.
QString colourName(OleColor colour);

} // namespace ColourPalette
