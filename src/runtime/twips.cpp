#include "twips.h"

#include "numbers.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSize>
#include <QWidget>

#include <cmath>

namespace {

constexpr double HimetricPerInch = 2540.0;
constexpr double InchesPerMetre = 1 / 0.0254;

} // namespace

Resolution Resolution::of(const QScreen *screen)
{
    if (!screen)
        return {};
    return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY(), screen->devicePixelRatio()};
}

Resolution Resolution::of(const QWidget *widget)
{
    return of(widget ? widget->screen() : QGuiApplication::primaryScreen());
}

int Resolution::toPixelsX(double twips) const
{
    return int(roundHalfEven(twips / twipsPerPixelX()));
}

int Resolution::toPixelsY(double twips) const
{
    return int(roundHalfEven(twips / twipsPerPixelY()));
}

int Resolution::toLogicalX(double twips) const
{
    return int(roundHalfEven(toPixelsX(twips) / m_ratio));
}

int Resolution::toLogicalY(double twips) const
{
    return int(roundHalfEven(toPixelsY(twips) / m_ratio));
}

QSize Resolution::toDevicePixels(const QSize &logical) const
{
    return {int(std::lround(logical.width() * m_ratio)), int(std::lround(logical.height() * m_ratio))};
}

void Resolution::applyTo(QImage &image) const
{
    // Points are measured against the logical dpi; the ratio scales them.
    image.setDotsPerMeterX(int(std::lround(m_dpiX * InchesPerMetre)));
    image.setDotsPerMeterY(int(std::lround(m_dpiY * InchesPerMetre)));
    image.setDevicePixelRatio(m_ratio);
}

void Resolution::paintInDevicePixels(QPainter &painter) const
{
    if (m_ratio != 1)
        painter.scale(1 / m_ratio, 1 / m_ratio);
}

double himetricToTwips(double himetric)
{
    return himetric * Resolution::TwipsPerInch / HimetricPerInch;
}

void useDevicePixels()
{
    for (const char *variable : {"QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"}) {
        if (qEnvironmentVariableIsSet(variable))
            return;
    }
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}
