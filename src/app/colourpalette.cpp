#include "colourpalette.h"

#include <array>

namespace ColourPalette {

namespace {

struct Entry
{
    OleColor colour;
    const char16_t *name;
};

constexpr std::array<Entry, Size> Entries = {{
    {0x00E0E0E0, u"light grey"},  //  0
    {0x0080C0FF, u"light orange"},//  1
    {0x0080FFFF, u"light yellow"},//  2
    {0x0080FF80, u"light green"}, //  3
    {0x00FFFF80, u"light cyan"},  //  4
    {0x000080FF, u"orange"},      //  5
    {0x00FF0000, u"blue"},        //  6
    {0x00FF80FF, u"pink"},        //  7
    {0x0000FFFF, u"yellow"},      //  8
    {0x00855475, u"dull purple"}, //  9
    {0x00FFFF00, u"cyan"},        // 10
    {0x0000FF00, u"green"},       // 11
    {0x000000FF, u"red"},         // 12
    {0x00808080, u"grey"},        // 13
    {0x00FF00FF, u"magenta"},     // 14
    {0x00FFC0C0, u"light blue"},  // 15
}};

} // namespace

OleColor colour(int index)
{
    return Entries.at(index).colour;
}

QString colourName(OleColor colour)
{
    const OleColor rgb = resolveColour(colour);
    for (const Entry &entry : Entries) {
        if (entry.colour == rgb)
            return QString::fromUtf16(entry.name);
    }
    if (rgb == 0x000000)
        return QStringLiteral("black");
    if (rgb == 0xFFFFFF)
        return QStringLiteral("white");
    return QStringLiteral("red %1, green %2, blue %3").arg(rgb & 0xFF).arg(rgb >> 8 & 0xFF).arg(rgb >> 16 & 0xFF);
}

std::optional<OleColor> colourNamed(QStringView name)
{
    for (const Entry &entry : Entries) {
        if (name.compare(QStringView(entry.name), Qt::CaseInsensitive) == 0)
            return entry.colour;
    }
    if (name.compare(u"black", Qt::CaseInsensitive) == 0)
        return 0x000000;
    if (name.compare(u"white", Qt::CaseInsensitive) == 0)
        return 0xFFFFFF;
    return std::nullopt;
}

} // namespace ColourPalette
