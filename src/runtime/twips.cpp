#include "twips.h"

#include "numbers.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double HimetricPerInch = 2540.0;
constexpr double FallbackDpi = 96.0;

double logicalDpi(bool horizontal)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return FallbackDpi;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : FallbackDpi;
}

} // namespace

double twipsPerPixelX()
{
    return TwipsPerInch / logicalDpi(true);
}

double twipsPerPixelY()
{
    return TwipsPerInch / logicalDpi(false);
}

int twipsToPixelsX(double twips)
{
    return int(roundHalfEven(twips / twipsPerPixelX()));
}

int twipsToPixelsY(double twips)
{
    return int(roundHalfEven(twips / twipsPerPixelY()));
}

double pixelsToTwipsX(double pixels)
{
    return pixels * twipsPerPixelX();
}

double pixelsToTwipsY(double pixels)
{
    return pixels * twipsPerPixelY();
}

double himetricToTwips(double himetric)
{
    return himetric * TwipsPerInch / HimetricPerInch;
}
