#pragma once

#include "colours.h"

#include <QString>

#include <cstdint>

// The most columns a chart holds.
inline constexpr int ChartCapacity = 100;

// One column of a chart, as its host gave it: the text of the label above
// it, its value in percent points, the colour it is filled with and the
// colour of its label.
struct ChartColumn
{
    QString label;
    std::int16_t value = 0;
    OleColor colour = 0;
    OleColor labelColour = 0;

    bool operator==(const ChartColumn &) const = default;
};
