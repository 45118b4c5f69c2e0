#include "windowicon.h"

#include <QPainter>

#include <cmath>

namespace WindowIcon {

void paint(QPainter &painter, int size)
{
    // A cyan field in a yellow frame with a raised two-pixel edge, and three
    // columns standing on the frame's lower edge, drawn on a 32-pixel grid.
    // Every edge of the grid is scaled to the size and rounded, so at whole
    // multiples of 32 each pixel of the design becomes a square of pixels;
    // the lines stay at least one pixel wide at any size.
    constexpr double Grid = Size;
    constexpr double Edge = 2;     // the grey bevel
    constexpr double FrameLine = 1; // the yellow line
    constexpr double FirstBar = 4;
    constexpr double BarWidth = 6;
    constexpr double BarPitch = BarWidth + 3;
    struct Bar { Qt::GlobalColor colour; double height; };
    constexpr Bar Bars[] = {{Qt::red, 15}, {Qt::magenta, 23}, {Qt::darkBlue, 10}};

    const auto scaled = [size](double length) { return int(std::floor(length * size / Grid + 0.5)); };
    const int edge = qMax(1, scaled(Edge));
    const int line = qMax(1, scaled(FrameLine));
    const int baseline = size - edge - line; // the top of the frame's lower line

    painter.fillRect(0, 0, size, size, Qt::darkGray);
    painter.fillRect(0, 0, size - edge, edge, Qt::lightGray);
    painter.fillRect(0, 0, edge, size - edge, Qt::lightGray);
    painter.fillRect(edge, edge, size - 2 * edge, size - 2 * edge, Qt::yellow);
    painter.fillRect(edge + line, edge + line, size - 2 * (edge + line), size - 2 * (edge + line), Qt::cyan);
    double left = FirstBar;
    for (const Bar &bar : Bars) {
        const int x = scaled(left);
        const int height = scaled(bar.height);
        painter.fillRect(x, baseline - height, scaled(left + BarWidth) - x, height, bar.colour);
        left += BarPitch;
    }
}

QImage image(int size)
{
    QImage picture(size, size, QImage::Format_RGB32);
    QPainter painter(&picture);
    paint(painter, size);
    return picture;
}

QImage themeImage(int size)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.translate(themeMargin(size), themeMargin(size));
    paint(painter, size - 2 * themeMargin(size));
    return picture;
}

} // namespace WindowIcon
