#include "formshape.h"

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
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
