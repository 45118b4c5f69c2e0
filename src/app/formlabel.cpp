#include "formlabel.h"

#include "colourpalette.h"

#include <QMouseEvent>

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
    setAutoFillBackground(!transparent);
}

void FormLabel::setSingleBorder(bool border)
{
    setFrameStyle(border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    setLineWidth(1);
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
