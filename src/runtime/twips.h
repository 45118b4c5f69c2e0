#pragma once

class QImage;
class QPainter;
class QScreen;
class QSize;
class QWidget;

// Twips are 1/1440 inch, the unit of window and control geometry. A screen
// has a device resolution: its logical dots per inch times its device pixel
// ratio. On X11 the toolkit's scaling is off and the ratio is 1, so a screen
// at 144 dpi has 144 logical dpi; on Wayland the compositor gives a ratio
// (2 at 200 %) and the logical dpi stays 96. Both give twips per device pixel:
// 15 at 96 dpi, 12 at 120, 10 at 144, 7.5 at 192 and at 96 x 2. Every length
// of the design becomes device pixels through the resolution of the screen it
// is shown on, and the self-drawn controls paint those device pixels; widget
// geometry is in logical pixels, device pixels divided by the ratio.
class Resolution
{
public:
    static constexpr double TwipsPerInch = 1440.0;
    static constexpr double StandardDpi = 96.0;

    constexpr Resolution() = default;
    constexpr Resolution(double dpiX, double dpiY, double pixelRatio = 1.0)
        : m_dpiX(dpiX > 0 ? dpiX : StandardDpi)
        , m_dpiY(dpiY > 0 ? dpiY : StandardDpi)
        , m_ratio(pixelRatio > 0 ? pixelRatio : 1.0)
    {
    }

    // The screen's logical dpi and device pixel ratio; 96 x 1 without a screen.
    static Resolution of(const QScreen *screen);
    // The screen the widget's window is on.
    static Resolution of(const QWidget *widget);

    // Logical dpi: what a size in points is measured against.
    double dpiX() const { return m_dpiX; }
    double dpiY() const { return m_dpiY; }
    double pixelRatio() const { return m_ratio; }
    double deviceDpiX() const { return m_dpiX * m_ratio; }
    double deviceDpiY() const { return m_dpiY * m_ratio; }
    double twipsPerPixelX() const { return TwipsPerInch / deviceDpiX(); }
    double twipsPerPixelY() const { return TwipsPerInch / deviceDpiY(); }

    // Whole device pixels for a length in twips, rounded half to even.
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double toTwipsX(double pixels) const { return pixels * twipsPerPixelX(); }
    double toTwipsY(double pixels) const { return pixels * twipsPerPixelY(); }
    // Whole logical pixels, for widget geometry: the device pixels of the
    // length divided by the ratio, rounded half to even.
    int toLogicalX(double twips) const;
    int toLogicalY(double twips) const;
    // The device pixels a widget of this logical size covers, rounded as the
    // toolkit rounds it.
    QSize toDevicePixels(const QSize &logical) const;

    // The same device resolution for a painter that works in device pixels
    // (a ratio of 1), such as one on an image of the device pixels.
    Resolution inDevicePixels() const { return {deviceDpiX(), deviceDpiY()}; }
    // Gives an off-screen image of this resolution's device pixels its dpi
    // and ratio, so that a widget renders on it as on the screen.
    void applyTo(QImage &image) const;
    // Turns the painter of a widget on this resolution's screen to device
    // pixels, counted from the widget's corner.
    void paintInDevicePixels(QPainter &painter) const;

    bool operator==(const Resolution &) const = default;

private:
    double m_dpiX = StandardDpi;
    double m_dpiY = StandardDpi;
    double m_ratio = 1.0;
};

// HIMETRIC (1/100 mm), the unit of a hosted control's stored extent.
double himetricToTwips(double himetric);

// Lets the program paint at the screen's own pixels. On X11 the toolkit's
// scaling of whole windows is turned off, so that a screen at 144 dpi reports
// 144 dpi and a device pixel ratio of 1; Wayland's ratio comes from the
// compositor whatever this says. A user who has set the toolkit's scaling
// variables keeps them. Call before the application object exists.
void useDevicePixels();
