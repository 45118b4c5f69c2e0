#pragma once

#include "colours.h"
#include "twips.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRegion>
#include <QSize>
#include <QString>

// A rectangle as the Windows drawing calls take it: right and bottom are
// exclusive, so (3, 3, 6, 6) covers 3 x 3 pixels. A rectangle whose right is
// not beyond its left (or bottom beyond its top) covers nothing.
struct SurfaceRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
};

// A picture in device pixels that keeps what was drawn on it until it is
// drawn over: the client area of a control that paints itself. Lines, fills
// and pixels are plain loops over the scanlines, so every pixel is exact.
// The text colour and the font are state of the surface, as they are of a
// device context.
class DrawingSurface
{
public:
    // A new size starts a new, undefined picture; the same size keeps it.
    void resize(QSize size);
    int width() const { return m_width; }
    int height() const { return m_height; }
    QSize size() const { return m_image.size(); }
    const QImage &image() const { return m_image; }
    // The colour value (0x00BBGGRR) of a pixel inside the picture.
    OleColor pixel(int x, int y) const;
    // How many times the picture was cleared: one per repaint of a control.
    quint64 clearCount() const { return m_clearCount; }

    void clear(OleColor colour);
    // A horizontal or vertical line one pixel wide from (x1, y1) towards
    // (x2, y2): the start pixel is drawn, the end pixel is not. Slanted lines
    // are not supported and draw nothing.
    void drawLine(int x1, int y1, int x2, int y2, OleColor colour);
    void fillRect(const SurfaceRect &rect, OleColor colour);
    void setPixel(int x, int y, OleColor colour);

    // The font as it was asked for, and as it is drawn at the surface's
    // resolution (a bitmap face only at one of its own strikes).
    const QFont &font() const { return m_requestedFont; }
    const QFont &drawnFont() const { return m_font; }
    void setFont(const QFont &font);
    // The resolution of the screen the picture is shown on: text in points
    // is laid out at its device dpi. 96 dpi until it is set.
    const Resolution &resolution() const { return m_resolution; }
    void setResolution(const Resolution &resolution);
    OleColor textColour() const { return m_textColour; }
    void setTextColour(OleColor colour) { m_textColour = colour; }

    // Draws text on one line, centred both ways in the rectangle and clipped
    // to it, in the text colour with a transparent background. An "&" is not
    // drawn and underlines the character after it; "&&" draws one "&".
    // Text is drawn without anti-aliasing, as GDI draws it without font
    // smoothing, so every pixel of it has the text colour exactly.
    void drawText(const SurfaceRect &rect, const QString &text);
    // A dotted rectangle on the outline of rect, combined with the picture by
    // exclusive-or so that drawing it twice removes it. The dots are the
    // outline pixels whose x + y is even (counted from the surface's origin);
    // each is inverted. The outline is drawn as four strips (top and bottom
    // rows in full, the side columns between them), so in a rectangle one
    // pixel high or wide the strips that coincide cancel out.
    void drawFocusRect(const SurfaceRect &rect);

    // The window shape of a rounded button: the rectangle less its four
    // extreme corner pixels, which is what a 3 x 3 rounded-rectangle region
    // from (0, 0) to (width + 1, height + 1) covers.
    static QRegion roundedShape(QSize size);

private:
    // A horizontal run of text pixels of equal coverage, relative to the
    // text rectangle.
    struct TextRun
    {
        int x = 0;
        int y = 0;
        int length = 0;
        int alpha = 0;
    };

    // The pixels of the picture, made its own first if it is shared with a
    // copy; fetched once per drawing call.
    QRgb *pixels() { return reinterpret_cast<QRgb *>(m_image.bits()); }
    qsizetype stride() const { return m_image.bytesPerLine() / qsizetype(sizeof(QRgb)); }
    void invert(QRgb *pixels, int x, int y);
    void layoutText(QSize size, const QString &text);
    void resolveFont();

    QImage m_image;
    int m_width = 0;
    int m_height = 0;
    quint64 m_clearCount = 0;
    QFont m_requestedFont;
    QFont m_font;
    Resolution m_resolution;
    OleColor m_textColour = 0;

    // The coverage of the last text drawn. A repaint with the same text, font
    // and rectangle size reuses it instead of laying the text out again.
    QList<TextRun> m_textRuns;
    QString m_runsText;
    QSize m_runsSize;
    bool m_runsValid = false;
};
