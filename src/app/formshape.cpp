#include "formshape.h"

#include "twips.h"

#include <QPainter>

FormShape::FormShape(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormShape::SetBackColor(OleColor colour)
{
    m_backColor = colour;
    update();
}

void FormShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    // The border is one device pixel wide.
    const Resolution resolution = Resolution::of(this);
    resolution.paintInDevicePixels(painter);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(QPoint(0, 0), resolution.toDevicePixels(size())).adjusted(0, 0, -1, -1));
}
