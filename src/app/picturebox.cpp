#include "picturebox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    SetForeColor(m_foreColor);
}

void PictureBox::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void PictureBox::SetBackColor(OleColor colour)
{
    m_backColor = colour;
    update();
}

void PictureBox::SetForeColor(OleColor colour)
{
    m_foreColor = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, toQColor(colour));
    setPalette(colours);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    painter.drawImage(0, 0, m_image);
}
