#include "scalabletextdevice.h"

#include "fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

// Replays the painter's state and drawing calls on a painter of the target.
class ForwardingEngine : public QPaintEngine
{
public:
    explicit ForwardingEngine(QPaintDevice *target)
        : QPaintEngine(AllFeatures)
        , m_target(target)
    {
    }

    bool begin(QPaintDevice *) override { return m_painter.begin(m_target); }
    bool end() override { return m_painter.end(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags dirty = state.state();
        // The transform first: a clip set together with it is meant in it.
        if (dirty & DirtyTransform)
            m_painter.setTransform(state.transform());
        if (dirty & DirtyPen)
            m_painter.setPen(state.pen());
        if (dirty & DirtyBrush)
            m_painter.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_painter.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyBackground)
            m_painter.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_painter.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyHints)
            m_painter.setRenderHints(state.renderHints());
        if (dirty & DirtyCompositionMode)
            m_painter.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            m_painter.setOpacity(state.opacity());
        if (dirty & DirtyClipRegion)
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipPath)
            m_painter.setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipEnabled)
            m_painter.setClipping(state.isClipEnabled());
    }

    void drawRects(const QRect *rects, int count) override { m_painter.drawRects(rects, count); }
    void drawRects(const QRectF *rects, int count) override { m_painter.drawRects(rects, count); }
    void drawLines(const QLine *lines, int count) override { m_painter.drawLines(lines, count); }
    void drawLines(const QLineF *lines, int count) override { m_painter.drawLines(lines, count); }
    void drawEllipse(const QRectF &rect) override { m_painter.drawEllipse(rect); }
    void drawEllipse(const QRect &rect) override { m_painter.drawEllipse(rect); }
    void drawPath(const QPainterPath &path) override { m_painter.drawPath(path); }
    void drawPoints(const QPointF *points, int count) override { m_painter.drawPoints(points, count); }
    void drawPoints(const QPoint *points, int count) override { m_painter.drawPoints(points, count); }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode: m_painter.drawPolyline(points, count); break;
        case ConvexMode: m_painter.drawConvexPolygon(points, count); break;
        case OddEvenMode: m_painter.drawPolygon(points, count, Qt::OddEvenFill); break;
        case WindingMode: m_painter.drawPolygon(points, count, Qt::WindingFill); break;
        }
    }

    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode: m_painter.drawPolyline(points, count); break;
        case ConvexMode: m_painter.drawConvexPolygon(points, count); break;
        case OddEvenMode: m_painter.drawPolygon(points, count, Qt::OddEvenFill); break;
        case WindingMode: m_painter.drawPolygon(points, count, Qt::WindingFill); break;
        }
    }

    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override
    {
        m_painter.drawPixmap(rect, pixmap, source);
    }

    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override
    {
        m_painter.drawTiledPixmap(rect, pixmap, offset);
    }

    void drawImage(const QRectF &rect, const QImage &image, const QRectF &source,
                   Qt::ImageConversionFlags flags) override
    {
        m_painter.drawImage(rect, image, source, flags);
    }

    void drawTextItem(const QPointF &baseline, const QTextItem &item) override
    {
        const TextRun run{item.text(), ScalableTextDevice::scalableFont(item.font()), item.width()};
        m_painter.setFont(run.font);
        if (m_marks) {
            m_painter.drawText(baseline, QString::number(m_marks->size()));
            m_marks->append(run);
            return;
        }
        // The face drawn is wider or narrower than the screen's; the run is
        // stretched to the width it has on the screen.
        const qreal drawn = QFontMetricsF(run.font, m_target).horizontalAdvance(run.text);
        m_painter.save();
        m_painter.translate(baseline);
        if (drawn > 0 && run.width > 0)
            m_painter.scale(run.width / drawn, 1);
        m_painter.drawText(QPointF(), run.text);
        m_painter.restore();
    }

    void markTextRuns(QList<TextRun> *marks) { m_marks = marks; }

private:
    QPaintDevice *m_target;
    QPainter m_painter;
    QList<TextRun> *m_marks = nullptr;
};

ScalableTextDevice::ScalableTextDevice(QPaintDevice *target)
    : m_target(target)
    , m_engine(std::make_unique<ForwardingEngine>(target))
{
}

ScalableTextDevice::~ScalableTextDevice() = default;

void ScalableTextDevice::markTextRuns()
{
    m_engine->markTextRuns(&m_runs);
}

QPaintEngine *ScalableTextDevice::paintEngine() const
{
    return m_engine.get();
}

QFont ScalableTextDevice::scalableFont(const QFont &font)
{
    const QFontInfo used(font);
    if (QFontDatabase::isSmoothlyScalable(used.family(), used.styleName()))
        return font;
    // As high a line as the bitmap face has, so the text takes the room it
    // takes on the screen.
    QFont scalable = scalableStandIn(font, QFontMetrics(font).height());
    scalable.setStyleStrategy(QFont::StyleStrategy(scalable.styleStrategy() | QFont::ForceOutline));
    return scalable;
}

int ScalableTextDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_target->width();
    case PdmHeight: return m_target->height();
    case PdmWidthMM: return m_target->widthMM();
    case PdmHeightMM: return m_target->heightMM();
    case PdmNumColors: return m_target->colorCount();
    case PdmDepth: return m_target->depth();
    case PdmDpiX: return m_target->logicalDpiX();
    case PdmDpiY: return m_target->logicalDpiY();
    case PdmPhysicalDpiX: return m_target->physicalDpiX();
    case PdmPhysicalDpiY: return m_target->physicalDpiY();
    case PdmDevicePixelRatio: return int(m_target->devicePixelRatio());
    case PdmDevicePixelRatioScaled: return int(m_target->devicePixelRatio() * devicePixelRatioFScale());
    }
    return 0;
}
