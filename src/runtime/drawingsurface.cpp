#include "drawingsurface.h"

#include "fonts.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr QRgb OpaqueAlpha = 0xFF000000u;
constexpr QRgb InvertMask = 0x00FFFFFFu;
constexpr int FullCoverage = 255;
constexpr int TextFlags = Qt::TextSingleLine | Qt::AlignCenter | Qt::TextShowMnemonic;

QRgb toRgb(OleColor colour)
{
    const OleColor value = resolveColour(colour);
    return OpaqueAlpha | (value & 0xFFu) << 16 | (value & 0xFF00u) | (value >> 16 & 0xFFu);
}

// The pixels a line from `from` towards `to` covers, end excluded, clipped to
// [0, limit): as [first, last).
std::pair<int, int> lineSpan(int from, int to, int limit)
{
    int first = from < to ? from : to + 1;
    int last = from < to ? to : from + 1;
    first = std::max(first, 0);
    last = std::min(last, limit);
    return {first, last};
}

int blend(int background, int foreground, int alpha)
{
    return (foreground * alpha + background * (FullCoverage - alpha) + FullCoverage / 2) / FullCoverage;
}

} // namespace

void DrawingSurface::resize(QSize size)
{
    if (m_image.size() == size)
        return;
    m_image = QImage(size, QImage::Format_RGB32);
    m_width = m_image.width();
    m_height = m_image.height();
}

OleColor DrawingSurface::pixel(int x, int y) const
{
    const QRgb rgb = m_image.pixel(x, y);
    return rgbColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void DrawingSurface::clear(OleColor colour)
{
    ++m_clearCount;
    m_image.fill(toRgb(colour));
}

void DrawingSurface::drawLine(int x1, int y1, int x2, int y2, OleColor colour)
{
    const QRgb rgb = toRgb(colour);
    if (y1 == y2) {
        if (y1 < 0 || y1 >= m_height)
            return;
        const auto [first, last] = lineSpan(x1, x2, m_width);
        if (first >= last)
            return;
        QRgb *line = pixels() + y1 * stride();
        std::fill(line + first, line + last, rgb);
    } else if (x1 == x2) {
        if (x1 < 0 || x1 >= m_width)
            return;
        const auto [first, last] = lineSpan(y1, y2, m_height);
        if (first >= last)
            return;
        QRgb *column = pixels() + x1;
        const qsizetype step = stride();
        for (int y = first; y < last; ++y)
            column[y * step] = rgb;
    }
}

void DrawingSurface::fillRect(const SurfaceRect &rect, OleColor colour)
{
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, m_width);
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, m_height);
    if (left >= right || top >= bottom)
        return;
    const QRgb rgb = toRgb(colour);
    QRgb *line = pixels() + top * stride();
    for (int y = top; y < bottom; ++y, line += stride())
        std::fill(line + left, line + right, rgb);
}

void DrawingSurface::setPixel(int x, int y, OleColor colour)
{
    if (x >= 0 && x < m_width && y >= 0 && y < m_height)
        pixels()[y * stride() + x] = toRgb(colour);
}

void DrawingSurface::setFont(const QFont &font)
{
    m_requestedFont = font;
    resolveFont();
}

void DrawingSurface::setResolution(const Resolution &resolution)
{
    if (resolution == m_resolution)
        return;
    m_resolution = resolution;
    // Text in points takes another size at another dpi, whatever the font.
    m_runsValid = false;
    resolveFont();
}

void DrawingSurface::resolveFont()
{
    QFont drawn = deviceFont(m_requestedFont, m_resolution);
    drawn.setStyleStrategy(QFont::StyleStrategy(drawn.styleStrategy() | QFont::NoAntialias));
    if (drawn == m_font)
        return;
    m_font = drawn;
    m_runsValid = false;
}

void DrawingSurface::drawText(const SurfaceRect &rect, const QString &text)
{
    if (rect.isEmpty() || text.isEmpty())
        return;
    const QSize size(rect.right - rect.left, rect.bottom - rect.top);
    if (!m_runsValid || m_runsSize != size || m_runsText != text)
        layoutText(size, text);

    const QRgb colour = toRgb(m_textColour);
    QRgb *const bits = pixels();
    for (const TextRun &run : std::as_const(m_textRuns)) {
        const int y = rect.top + run.y;
        if (y < 0 || y >= m_height)
            continue;
        const int first = std::max(rect.left + run.x, 0);
        const int last = std::min(rect.left + run.x + run.length, m_width);
        QRgb *line = bits + y * stride();
        for (int x = first; x < last; ++x) {
            if (run.alpha == FullCoverage) {
                line[x] = colour;
                continue;
            }
            const QRgb under = line[x];
            line[x] = qRgb(blend(qRed(under), qRed(colour), run.alpha), blend(qGreen(under), qGreen(colour), run.alpha),
                           blend(qBlue(under), qBlue(colour), run.alpha));
        }
    }
}

// Lays the text out once with QPainter into a coverage image of the
// rectangle's size (which also clips it) and keeps the covered pixels as runs.
void DrawingSurface::layoutText(QSize size, const QString &text)
{
    QImage coverage(size, QImage::Format_ARGB32_Premultiplied);
    m_resolution.inDevicePixels().applyTo(coverage);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setFont(m_font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), size), TextFlags, text);
    }

    m_textRuns.clear();
    for (int y = 0; y < size.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        int x = 0;
        while (x < size.width()) {
            const int alpha = qAlpha(line[x]);
            int end = x + 1;
            while (end < size.width() && qAlpha(line[end]) == alpha)
                ++end;
            if (alpha > 0)
                m_textRuns.append({x, y, end - x, alpha});
            x = end;
        }
    }
    m_runsText = text;
    m_runsSize = size;
    m_runsValid = true;
}

void DrawingSurface::invert(QRgb *pixels, int x, int y)
{
    if (x >= 0 && x < m_width && y >= 0 && y < m_height && (x + y) % 2 == 0)
        pixels[y * stride() + x] ^= InvertMask;
}

void DrawingSurface::drawFocusRect(const SurfaceRect &rect)
{
    if (rect.isEmpty())
        return;
    QRgb *const bits = pixels();
    // top and bottom rows
    for (int x = rect.left; x < rect.right; ++x) {
        invert(bits, x, rect.top);
        invert(bits, x, rect.bottom - 1);
    }
    // side columns between them
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        invert(bits, rect.left, y);
        invert(bits, rect.right - 1, y);
    }
}

QRegion DrawingSurface::roundedShape(QSize size)
{
    const int w = size.width();
    const int h = size.height();
    QRegion shape(0, 0, w, h);
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        shape -= QRegion(corner.x(), corner.y(), 1, 1);
    return shape;
}
