#include "ccxpbutton.h"

#include "twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>

#include <cmath>

namespace {

constexpr double MinimumTwips = 100.0;

// The fewest whole pixels that span the minimum.
int minimumPixels(double twipsPerPixel)
{
    return int(std::ceil(MinimumTwips / twipsPerPixel));
}

} // namespace

void ccXPButton::InitColours()
{
    pColours = ButtonPainter::designColours();
}

void ccXPButton::DrawButton(ButtonState state)
{
    if (pPaintLock)
        return;
    pState = state;
    m_surface.resize(size());
    m_surface.setResolution(Resolution::of(this));
    ButtonPainter::drawBody(m_surface, state, pColours);
    ApplyShape();

    // Nothing may paint over the picture while its caption is drawn.
    pPaintLock = true;
    const auto unlock = qScopeGuard([this] { pPaintLock = false; });
    ButtonPainter::drawCaption(m_surface, state, {pCaption, pEnabled, pForeColor, pFocusRect, pHasFocus});
    update();
}

// The shape only changes with the size, so it is made again only then.
void ccXPButton::ApplyShape()
{
    if (m_shapeSize == size())
        return;
    setMask(DrawingSurface::roundedShape(size()));
    m_shapeSize = size();
}

void ccXPButton::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_surface.size() != size())
        painter.fillRect(event->rect(), toQColor(ButtonPainter::Background));
    painter.drawImage(event->rect(), m_surface.image(), event->rect());
}

void ccXPButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

// Keeps the button at least 100 twips high and wide. Growing it runs this
// reaction again from within resize(); that nested run finds the lock set and
// does not paint. Once the size is in place, the lock this reaction raised is
// lowered again and the button is painted once at its new size; a lock that
// was already set (properties not yet known) is left alone.
void ccXPButton::UserControl_Resize()
{
    const bool lockedBefore = pPaintLock;
    const Resolution resolution = Resolution::of(this);
    if (resolution.toTwipsY(height()) < MinimumTwips) {
        pPaintLock = true;
        resize(width(), minimumPixels(resolution.twipsPerPixelY()));
    }
    if (resolution.toTwipsX(width()) < MinimumTwips) {
        pPaintLock = true;
        resize(minimumPixels(resolution.twipsPerPixelX()), height());
    }
    if (!lockedBefore)
        pPaintLock = false;
    if (!pPaintLock)
        DrawButton(pState);
}
