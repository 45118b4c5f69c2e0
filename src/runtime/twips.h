#pragma once

class QImage;
class QScreen;
class QWidget;

// Twips are 1/1440 inch, the unit of window and control geometry. A screen
// has a whole number of dots per inch and so a number of twips per pixel:
// 15 at 96 dpi, 12 at 120, 10 at 144, 7.5 at 192. Every length of the design
// becomes device pixels through the resolution of the screen it is shown on;
// the program paints at device pixels and leaves no scaling to the toolkit.
class Resolution
{
public:
    static constexpr double TwipsPerInch = 1440.0;
    static constexpr double StandardDpi = 96.0;

    constexpr Resolution() = default;
    constexpr Resolution(double dpiX, double dpiY)
        : m_dpiX(dpiX > 0 ? dpiX : StandardDpi)
        , m_dpiY(dpiY > 0 ? dpiY : StandardDpi)
    {
    }

    // The screen's logical dpi; 96 without a screen.
    static Resolution of(const QScreen *screen);
    // The screen the widget's window is on.
    static Resolution of(const QWidget *widget);

    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }
    double twipsPerPixelX() const { return TwipsPerInch / m_dpiX; }
    double twipsPerPixelY() const { return TwipsPerInch / m_dpiY; }

    // Whole device pixels for a length in twips, rounded half to even.
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double toTwipsX(double pixels) const { return pixels * twipsPerPixelX(); }
    double toTwipsY(double pixels) const { return pixels * twipsPerPixelY(); }

    // Gives an off-screen image this resolution, so that text in points is
    // drawn on it at the size it has on the screen.
    void applyTo(QImage &image) const;

    bool operator==(const Resolution &) const = default;

private:
    double m_dpiX = StandardDpi;
    double m_dpiY = StandardDpi;
};

// HIMETRIC (1/100 mm), the unit of a hosted control's stored extent.
double himetricToTwips(double himetric);

// Lets the program paint at the screen's own pixels: the toolkit's scaling of
// whole windows is turned off, so that a screen at 144 dpi reports 144 dpi
// and a device pixel ratio of 1. Call before the application object exists.
void useDevicePixels();
