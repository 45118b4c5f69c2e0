#include "formlabel.h"

#include "colourpalette.h"
#include "fonts.h"
#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

FormLabel::FormLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    SetBackColor(m_backColor);
}

void FormLabel::SetBackColor(OleColor colour)
{
    m_backColor = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(colour));
    setPalette(colours);
    nameAfterColour();
}

void FormLabel::setSwatch(const QString &caption)
{
    m_swatch = true;
    m_colourCaption = caption;
    nameAfterColour();
}

void FormLabel::nameAfterColour()
{
    if (!m_swatch)
        return;
    const QString colour = ColourPalette::colourName(m_backColor);
    setAccessibleName(m_colourCaption.isEmpty() ? colour : m_colourCaption + QStringLiteral(": ") + colour);
}

void FormLabel::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void FormLabel::setDeviceSize(const QSize &size)
{
    m_deviceSize = size;
    update();
}

void FormLabel::setSingleBorder(bool border)
{
    setFrameStyle(border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    setLineWidth(1);
}

// The text is drawn as the label draws plain text: at the top left, "&" hidden.
void FormLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Resolution resolution = Resolution::of(this);
    resolution.paintInDevicePixels(painter);
    const QSize whole = resolution.toDevicePixels(size());
    QRect area(QPoint(0, 0), m_deviceSize.isValid() ? m_deviceSize.boundedTo(whole) : whole);
    if (!m_transparent)
        painter.fillRect(area, palette().color(backgroundRole()));
    painter.setPen(palette().color(foregroundRole()));
    if (frameShape() == QFrame::Box) {
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    if (text().isEmpty())
        return;
    painter.setFont(fontForDevicePixels(font(), resolution));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextHideMnemonic, text());
}

void FormLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void FormLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit Click();
}
