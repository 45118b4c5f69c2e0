#include "twips.h"

#include "numbers.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
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
    return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
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

void Resolution::applyTo(QImage &image) const
{
    image.setDotsPerMeterX(int(std::lround(m_dpiX * InchesPerMetre)));
    image.setDotsPerMeterY(int(std::lround(m_dpiY * InchesPerMetre)));
}

double himetricToTwips(double himetric)
{
    return himetric * Resolution::TwipsPerInch / HimetricPerInch;
}

void useDevicePixels()
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}
