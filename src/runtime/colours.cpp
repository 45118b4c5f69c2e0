#include "colours.h"

#include <array>

namespace {

// The classic Windows desktop scheme, by system colour index.
constexpr std::array<OleColor, 31> ClassicScheme = {
    rgbColour(212, 208, 200), //  0 scroll bar
    rgbColour(58, 110, 165),  //  1 desktop
    rgbColour(10, 36, 106),   //  2 active caption
    rgbColour(128, 128, 128), //  3 inactive caption
    rgbColour(212, 208, 200), //  4 menu
    rgbColour(255, 255, 255), //  5 window
    rgbColour(0, 0, 0),       //  6 window frame
    rgbColour(0, 0, 0),       //  7 menu text
    rgbColour(0, 0, 0),       //  8 window text
    rgbColour(255, 255, 255), //  9 caption text
    rgbColour(212, 208, 200), // 10 active border
    rgbColour(212, 208, 200), // 11 inactive border
    rgbColour(128, 128, 128), // 12 application workspace
    rgbColour(10, 36, 106),   // 13 highlight
    rgbColour(255, 255, 255), // 14 highlight text
    rgbColour(212, 208, 200), // 15 button face
    rgbColour(128, 128, 128), // 16 button shadow
    rgbColour(128, 128, 128), // 17 grey text
    rgbColour(0, 0, 0),       // 18 button text
    rgbColour(212, 208, 200), // 19 inactive caption text
    rgbColour(255, 255, 255), // 20 button highlight
    rgbColour(64, 64, 64),    // 21 3-D dark shadow
    rgbColour(212, 208, 200), // 22 3-D light
    rgbColour(0, 0, 0),       // 23 tooltip text
    rgbColour(255, 255, 225), // 24 tooltip background
    rgbColour(181, 181, 181), // 25 (unused)
    rgbColour(0, 0, 128),     // 26 hot-tracking
    rgbColour(166, 202, 240), // 27 gradient active caption
    rgbColour(192, 192, 192), // 28 gradient inactive caption
    rgbColour(49, 106, 197),  // 29 menu highlight
    rgbColour(236, 233, 216), // 30 menu bar
};

} // namespace

OleColor resolveColour(OleColor colour)
{
    if (!isSystemColour(colour))
        return colour & 0x00FFFFFFu;
    const OleColor index = colour & 0xFFu;
    return index < ClassicScheme.size() ? ClassicScheme[index] : 0;
}

QColor toQColor(OleColor colour)
{
    const OleColor rgb = resolveColour(colour);
    return QColor(int(rgb & 0xFF), int(rgb >> 8 & 0xFF), int(rgb >> 16 & 0xFF));
}

OleColor fromQColor(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return rgbColour(rgb.red(), rgb.green(), rgb.blue());
}
