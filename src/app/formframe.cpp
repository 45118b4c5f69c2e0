#include "formframe.h"

#include "fonts.h"
#include "twips.h"

#include <QPainter>

namespace {

constexpr int CaptionInset = 6;
constexpr QColor EtchShadow(128, 128, 128);
constexpr QColor EtchLight(255, 255, 255);

} // namespace

FormFrame::FormFrame(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetBackColor(m_backColor);
}

void FormFrame::SetBackColor(OleColor colour)
{
    m_backColor = colour;
    update();
}

void FormFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor background = toQColor(m_backColor);
    painter.fillRect(rect(), background);

    // The etched lines are one device pixel wide, and the caption is
    // measured and drawn at the device size.
    const Resolution resolution = Resolution::of(this);
    resolution.paintInDevicePixels(painter);
    const QSize device = resolution.toDevicePixels(size());
    painter.setFont(fontForDevicePixels(font(), resolution));
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineTop = metrics.height() / 2;
    const int lineHeight = device.height() - lineTop - 2;
    painter.setPen(EtchShadow);
    painter.drawRect(0, lineTop, device.width() - 2, lineHeight);
    painter.setPen(EtchLight);
    painter.drawRect(1, lineTop + 1, device.width() - 2, lineHeight);

    if (title().isEmpty())
        return;
    const QRect captionRect(CaptionInset, 0, metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(captionRect, background);
    painter.setPen(Qt::black);
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
}
