#pragma once

#include <QImage>

class QPainter;

// The window's icon: 32 x 32 pixels in 16 colours, drawn at other sizes from
// the same design (see paint). The window shows it, and the icon theme files
// are made from it.
namespace WindowIcon {

constexpr int Size = 32;

// Draws the icon size x size pixels large at the painter's origin.
void paint(QPainter &painter, int size);
QImage image(int size = Size);

// The free margin on each side of an icon theme's icon size pixels large: a
// sixteenth, as hicolor application icons leave, so that the icon sits
// among the other programs' icons in a dock or a menu.
constexpr int themeMargin(int size)
{
    return size / 16;
}
// The icon for an icon theme: the design inside that margin, on a
// transparent ground.
QImage themeImage(int size);

} // namespace WindowIcon
