#include "ccxpbutton.h"

#include "numbers.h"
#include "twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>

#include <cmath>

namespace {

// Every look's colours. "unused" marks an entry that painting never reads.
constexpr ButtonColours Palette = {
    //               Disabled  Normal    Focused   Hot       Pressed
    .Outline = {0xBAC7C9, 0x743C00, 0x743C00, 0x743C00, 0x743C00},
    .RingRow1 = {0 /*unused*/, 0xFFFFFF, 0xFFE7CE, 0xCEF3FF, 0 /*unused*/},
    .RingRow2 = {0 /*unused*/, 0xFEFEFE, 0xF7D7BD, 0x8CDBFF, 0 /*unused*/},
    .RingRow3 = {0 /*unused*/, 0xD6DFE2, 0xE7AE8C, 0x31B2FF, 0 /*unused*/},
    .RingRow4 = {0 /*unused*/, 0xC5D0D6, 0xEF826B, 0x0096E6, 0 /*unused*/},
    //                         Normal    Focused   Hot
    .RingSidesTop = {0xFBFCFC, 0xF7D3BD, 0x9CDFE1},
    .RingSidesBottom = {0xE6EBEC, 0xE7AE8C, 0x30B6FF},
    //               Disabled  Normal    Focused   Hot       Pressed
    .CornerDark = {0x8CB1C4, 0x845521, 0x845521, 0x845521, 0x845521},
    .CornerLight = {0xBDC7CE, 0xAD967B, 0xAD967B, 0xAD967B, 0xAD967B},
    .CornerDiagonal = {0x8CB1C4, 0xA57D52, 0xA57D52, 0xA57D52, 0xA57D52},
};

constexpr OleColor FaceTop = 0xFBFCFC;
constexpr OleColor FaceBottom = 0xE6EBEC;
constexpr OleColor DisabledFace = 0xEAF4F5;
constexpr OleColor PressedFace = 0xDEE3E7;
constexpr OleColor DisabledCaption = 0x92A1A1;
// Black text colour makes the focus rectangle's pattern invert its dots.
constexpr OleColor FocusRectTextColour = 0x000000;
// The control's background: the button face colour of the desktop scheme.
constexpr OleColor BackColour = SystemColour::ButtonFace;

// The outline stops this far short of each corner; the text rectangle lies
// this far inside the edges.
constexpr int CornerInset = 3;
constexpr double MinimumTwips = 100.0;

enum class Shade { Dark, Light, Diagonal };

// The shaded pixels of one corner, counted from the corner's extreme pixel
// (which stays unpainted) along the edges, in the order they are set.
struct CornerPixel
{
    int dx;
    int dy;
    Shade shade;
};
constexpr CornerPixel CornerPixels[] = {
    {0, 1, Shade::Light}, {0, 2, Shade::Dark}, {1, 0, Shade::Light}, {1, 1, Shade::Diagonal}, {2, 0, Shade::Dark},
};

// top left, top right, bottom left, bottom right
constexpr bool CornerFromRight[] = {false, true, false, true};
constexpr bool CornerFromBottom[] = {false, false, true, true};

int component(OleColor colour, int shift)
{
    return int(colour >> shift & 0xFFu);
}

constexpr int RedShift = 0;
constexpr int GreenShift = 8;
constexpr int BlueShift = 16;

// The colours of a gradient's rows, bottom row first. The steps are held as
// 32-bit floats; each row's value is worked out in double from the float step
// and rounded half to even.
QList<OleColor> computeGradient(int n, OleColor topColour, OleColor bottomColour)
{
    const int shifts[] = {RedShift, GreenShift, BlueShift};
    int bottom[3];
    float step[3];
    for (int c = 0; c < 3; ++c) {
        bottom[c] = component(bottomColour, shifts[c]);
        step[c] = float(double(component(topColour, shifts[c]) - bottom[c]) / n);
    }
    QList<OleColor> rows;
    rows.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        int value[3];
        for (int c = 0; c < 3; ++c)
            value[c] = int(roundHalfEven(bottom[c] + double(i) * double(step[c])));
        rows.append(rgbColour(value[0], value[1], value[2]));
    }
    return rows;
}

// A button repaints the same few gradients over and over (two per look at its
// size), so their rows are worked out once and kept. Painting runs on the
// user-interface thread only.
const QList<OleColor> &gradientRows(int n, OleColor topColour, OleColor bottomColour)
{
    struct Entry
    {
        int n;
        OleColor top;
        OleColor bottom;
        QList<OleColor> rows;
    };
    constexpr qsizetype Capacity = 16;
    static QList<Entry> cache;
    static qsizetype nextVictim = 0;

    for (const Entry &entry : std::as_const(cache)) {
        if (entry.n == n && entry.top == topColour && entry.bottom == bottomColour)
            return entry.rows;
    }
    Entry entry{n, topColour, bottomColour, computeGradient(n, topColour, bottomColour)};
    if (cache.size() < Capacity) {
        cache.append(std::move(entry));
        return cache.last().rows;
    }
    const qsizetype slot = nextVictim;
    nextVictim = (nextVictim + 1) % Capacity;
    cache[slot] = std::move(entry);
    return cache[slot].rows;
}

// The fewest whole logical pixels whose device pixels span the minimum.
int minimumPixels(double twipsPerPixel, double pixelRatio)
{
    return int(std::ceil(std::ceil(MinimumTwips / twipsPerPixel) / pixelRatio));
}

} // namespace

const ButtonColours &ccXPButton::DesignColours()
{
    return Palette;
}

void ccXPButton::InitColours()
{
    pColours = Palette;
}

void ccXPButton::DrawButton(ButtonState state)
{
    if (pPaintLock)
        return;
    pState = std::int32_t(state);
    // The picture is drawn at the device pixels the button covers.
    const Resolution resolution = Resolution::of(this);
    m_surface.resize(resolution.toDevicePixels(size()));
    m_surface.setResolution(resolution);
    DrawBody(m_surface, state, pColours);
    ApplyShape();

    // Nothing may paint over the picture while its caption is drawn.
    pPaintLock = true;
    const auto unlock = qScopeGuard([this] { pPaintLock = false; });
    DrawCaption(m_surface, state, {pCaption, pEnabled, pForeColor, pFocusRect, pHasFocus});
    update();
}

void ccXPButton::DrawBody(DrawingSurface &surface, ButtonState state, const ButtonColours &colours)
{
    const int w = surface.width();
    const int h = surface.height();
    const auto look = std::size_t(state);
    surface.clear(BackColour);

    // outline
    const OleColor outline = colours.Outline[look];
    DrawLine(surface, CornerInset, 0, w - CornerInset, 0, outline);
    DrawLine(surface, 0, CornerInset, 0, h - CornerInset, outline);
    DrawLine(surface, CornerInset, h - 1, w - CornerInset, h - 1, outline);
    DrawLine(surface, w - 1, CornerInset, w - 1, h - CornerInset, outline);

    // face
    if (state == ButtonState::Disabled || state == ButtonState::Pressed) {
        FillSolid(surface, {1, 1, w - 1, h - 1}, state == ButtonState::Disabled ? DisabledFace : PressedFace);
    } else {
        const std::size_t ring = look - std::size_t(ButtonState::Normal);
        // ring sides: the face gradient covers this one but for two columns on each side
        DrawGradient(surface, {1, 3, w - 1, h - 2}, colours.RingSidesTop[ring], colours.RingSidesBottom[ring]);
        DrawGradient(surface, {3, 3, w - 3, h - 3}, FaceTop, FaceBottom);
        // ring rows
        DrawLine(surface, 1, 1, w, 1, colours.RingRow1[look]);
        DrawLine(surface, 1, 2, w, 2, colours.RingRow2[look]);
        DrawLine(surface, 1, h - 3, w, h - 3, colours.RingRow3[look]);
        DrawLine(surface, 2, h - 2, w - 1, h - 2, colours.RingRow4[look]);
    }

    // corners
    const OleColor shades[] = {colours.CornerDark[look], colours.CornerLight[look], colours.CornerDiagonal[look]};
    for (int corner = 0; corner < 4; ++corner) {
        for (const CornerPixel &pixel : CornerPixels) {
            const int x = CornerFromRight[corner] ? w - 1 - pixel.dx : pixel.dx;
            const int y = CornerFromBottom[corner] ? h - 1 - pixel.dy : pixel.dy;
            surface.setPixel(x, y, shades[int(pixel.shade)]);
        }
    }
}

void ccXPButton::DrawCaption(DrawingSurface &surface, ButtonState state, const ButtonCaption &caption)
{
    const SurfaceRect textRect{CornerInset, CornerInset, surface.width() - CornerInset,
                               surface.height() - CornerInset};
    // The caption colour follows Enabled, not the look.
    surface.setTextColour(caption.enabled ? caption.foreColor : DisabledCaption);
    surface.drawText(textRect, caption.text);

    const bool focusLook = state == ButtonState::Focused || state == ButtonState::Hot || state == ButtonState::Pressed;
    if (caption.hasFocus && caption.focusRect && focusLook) {
        surface.setTextColour(FocusRectTextColour);
        surface.drawFocusRect(textRect);
    }
}

void ccXPButton::DrawGradient(DrawingSurface &surface, const SurfaceRect &rect, OleColor topColour,
                              OleColor bottomColour)
{
    const int n = rect.bottom - rect.top;
    // With n = 0 the step would be a division by zero; with n < 0 there is no
    // row. Either way nothing is drawn.
    if (n <= 0)
        return;

    const QList<OleColor> &rows = gradientRows(n, topColour, bottomColour);
    for (int i = 0; i <= n; ++i) {
        const int y = rect.bottom - i;
        DrawLine(surface, rect.left, y, rect.right, y, rows[i]);
    }
}

void ccXPButton::FillSolid(DrawingSurface &surface, const SurfaceRect &rect, OleColor colour)
{
    surface.fillRect(rect, colour);
}

void ccXPButton::DrawLine(DrawingSurface &surface, int x1, int y1, int x2, int y2, OleColor colour)
{
    surface.drawLine(x1, y1, x2, y2, colour);
}

// The shape only changes with the size, so it is made again only then. It
// leaves out one device pixel at each corner: a mask, which is in logical
// pixels, does that where the device pixel ratio is 1. At another ratio the
// mask would leave out ratio x ratio pixels, so the button lets the form
// show through and leaves out the corners as it paints.
void ccXPButton::ApplyShape()
{
    const bool logicalIsDevice = m_surface.size() == size();
    if (m_shapeSize == size() && testAttribute(Qt::WA_OpaquePaintEvent) == logicalIsDevice)
        return;
    if (logicalIsDevice)
        setMask(DrawingSurface::roundedShape(size()));
    else
        clearMask();
    setAttribute(Qt::WA_OpaquePaintEvent, logicalIsDevice);
    m_shapeSize = size();
}

void ccXPButton::paintEvent(QPaintEvent *)
{
    // A picture drawn for another resolution (the window moved to another
    // screen, or its screen changed its scale) is drawn again first.
    const Resolution resolution = Resolution::of(this);
    const QSize device = resolution.toDevicePixels(size());
    if (!pPaintLock && (m_surface.size() != device || m_surface.resolution() != resolution))
        DrawButton(ButtonState(pState));

    QPainter painter(this);
    resolution.paintInDevicePixels(painter);
    if (m_surface.size() != device) {
        painter.fillRect(QRect(QPoint(0, 0), device), toQColor(BackColour));
        return;
    }
    if (device != size())
        painter.setClipRegion(DrawingSurface::roundedShape(device));
    painter.drawImage(QPoint(0, 0), m_surface.image());
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
    if (resolution.toTwipsY(resolution.toDevicePixels(size()).height()) < MinimumTwips) {
        pPaintLock = true;
        resize(width(), minimumPixels(resolution.twipsPerPixelY(), resolution.pixelRatio()));
    }
    if (resolution.toTwipsX(resolution.toDevicePixels(size()).width()) < MinimumTwips) {
        pPaintLock = true;
        resize(minimumPixels(resolution.twipsPerPixelX(), resolution.pixelRatio()), height());
    }
    if (!lockedBefore)
        pPaintLock = false;
    if (!pPaintLock)
        DrawButton(ButtonState(pState));
}
