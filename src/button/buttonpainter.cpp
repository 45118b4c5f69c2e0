#include "buttonpainter.h"

#include "numbers.h"

#include <QList>

namespace {

// Every look's colours. "unused" marks an entry that painting never reads.
constexpr ButtonColours Palette = {
    //               Disabled  Normal    Focused   Hot       Pressed
    .outline = {0xBAC7C9, 0x743C00, 0x743C00, 0x743C00, 0x743C00},
    .ringRow1 = {0 /*unused*/, 0xFFFFFF, 0xFFE7CE, 0xCEF3FF, 0 /*unused*/},
    .ringRow2 = {0 /*unused*/, 0xFEFEFE, 0xF7D7BD, 0x8CDBFF, 0 /*unused*/},
    .ringRow3 = {0 /*unused*/, 0xD6DFE2, 0xE7AE8C, 0x31B2FF, 0 /*unused*/},
    .ringRow4 = {0 /*unused*/, 0xC5D0D6, 0xEF826B, 0x0096E6, 0 /*unused*/},
    //                         Normal    Focused   Hot
    .ringSidesTop = {0xFBFCFC, 0xF7D3BD, 0x9CDFE1},
    .ringSidesBottom = {0xE6EBEC, 0xE7AE8C, 0x30B6FF},
    //               Disabled  Normal    Focused   Hot       Pressed
    .cornerDark = {0x8CB1C4, 0x845521, 0x845521, 0x845521, 0x845521},
    .cornerLight = {0xBDC7CE, 0xAD967B, 0xAD967B, 0xAD967B, 0xAD967B},
    .cornerDiagonal = {0x8CB1C4, 0xA57D52, 0xA57D52, 0xA57D52, 0xA57D52},
};

constexpr OleColor FaceTop = 0xFBFCFC;
constexpr OleColor FaceBottom = 0xE6EBEC;
constexpr OleColor DisabledFace = 0xEAF4F5;
constexpr OleColor PressedFace = 0xDEE3E7;
constexpr OleColor DisabledCaption = 0x92A1A1;
// Black text colour makes the focus rectangle's pattern invert its dots.
constexpr OleColor FocusRectTextColour = 0x000000;

// The outline stops this far short of each corner; the text rectangle lies
// this far inside the edges.
constexpr int CornerInset = 3;

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

} // namespace

const ButtonColours &ButtonPainter::designColours()
{
    return Palette;
}

void ButtonPainter::drawBody(DrawingSurface &surface, ButtonState state, const ButtonColours &colours)
{
    const int w = surface.width();
    const int h = surface.height();
    const auto look = std::size_t(state);
    surface.clear(Background);

    // outline
    const OleColor outline = colours.outline[look];
    surface.drawLine(CornerInset, 0, w - CornerInset, 0, outline);
    surface.drawLine(0, CornerInset, 0, h - CornerInset, outline);
    surface.drawLine(CornerInset, h - 1, w - CornerInset, h - 1, outline);
    surface.drawLine(w - 1, CornerInset, w - 1, h - CornerInset, outline);

    // face
    if (state == ButtonState::Disabled || state == ButtonState::Pressed) {
        surface.fillRect({1, 1, w - 1, h - 1}, state == ButtonState::Disabled ? DisabledFace : PressedFace);
    } else {
        const std::size_t ring = look - std::size_t(ButtonState::Normal);
        // ring sides: the face gradient covers this one but for two columns on each side
        drawGradient(surface, {1, 3, w - 1, h - 2}, colours.ringSidesTop[ring], colours.ringSidesBottom[ring]);
        drawGradient(surface, {3, 3, w - 3, h - 3}, FaceTop, FaceBottom);
        // ring rows
        surface.drawLine(1, 1, w, 1, colours.ringRow1[look]);
        surface.drawLine(1, 2, w, 2, colours.ringRow2[look]);
        surface.drawLine(1, h - 3, w, h - 3, colours.ringRow3[look]);
        surface.drawLine(2, h - 2, w - 1, h - 2, colours.ringRow4[look]);
    }

    // corners
    const OleColor shades[] = {colours.cornerDark[look], colours.cornerLight[look], colours.cornerDiagonal[look]};
    for (int corner = 0; corner < 4; ++corner) {
        for (const CornerPixel &pixel : CornerPixels) {
            const int x = CornerFromRight[corner] ? w - 1 - pixel.dx : pixel.dx;
            const int y = CornerFromBottom[corner] ? h - 1 - pixel.dy : pixel.dy;
            surface.setPixel(x, y, shades[int(pixel.shade)]);
        }
    }
}

void ButtonPainter::drawCaption(DrawingSurface &surface, ButtonState state, const ButtonCaption &caption)
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

void ButtonPainter::drawGradient(DrawingSurface &surface, const SurfaceRect &rect, OleColor topColour,
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
        surface.drawLine(rect.left, y, rect.right, y, rows[i]);
    }
}
