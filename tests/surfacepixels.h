#pragma once

#include "drawingsurface.h"

#include <QList>
#include <QPoint>

// Every pixel of the surface in the colour, row by row.
inline QList<QPoint> pixelsOf(const DrawingSurface &surface, OleColor colour)
{
    QList<QPoint> found;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            if (surface.pixel(x, y) == colour)
                found.append(QPoint(x, y));
        }
    }
    return found;
}
