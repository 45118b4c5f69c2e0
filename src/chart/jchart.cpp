#include "jchart.h"

#include "accessibility.h"
#include "controlsite.h"
#include "jchartaccessible.h"
#include "numbers.h"
#include "propertybag.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QAccessible>
#include <QBackingStore>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace {

constexpr OleColor DefaultBackColor = 0x00FFFFFF; // white

// Layout, in twips unless stated.
constexpr int Margin = 50;          // left edge of the first column; baseline above the bottom edge
constexpr int Margins = 2 * Margin; // one on each side
constexpr int PercentSpan = 100;    // percent points that fill the usable height
constexpr int LabelShiftNumerator = 3;    // a label starts 3/14 of its column's width
constexpr int LabelShiftDenominator = 14; // into the column,
constexpr int LabelBackset = 90;          // less 90
constexpr int LabelThreshold = 93;  // percent points above which the label goes inside its column
constexpr int LabelInset = 30;      // from a tall column's top down to its label

QString backColorKey()
{
    return QStringLiteral("BackColor");
}

// The chart's name tells how many columns it holds.
void announceColumnCount(jChart *chart)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(chart, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

// The running left edge is a 16-bit number; a step past its range is skipped
// and leaves it where it was.
void advance(std::int16_t &edge, int step)
{
    const int next = edge + step;
    if (next >= std::numeric_limits<std::int16_t>::min() && next <= std::numeric_limits<std::int16_t>::max())
        edge = std::int16_t(next);
}

} // namespace

jChart::jChart(QWidget *parent)
    : QWidget(parent)
{
    // paintEvent fills every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_columns.reserve(Capacity);
    static const bool accessible = [] {
        registerAccessible(QString::fromLatin1(staticMetaObject.className()),
                           [](QObject *object) { return new jChartAccessible(static_cast<jChart *>(object)); });
        return true;
    }();
    Q_UNUSED(accessible);
}

void jChart::Initialize()
{
    m_backColor = DefaultBackColor;
    update();
}

void jChart::ReadProperties(const PropertyBag &bag)
{
    m_backColor = BagValue::toColour(bag.read(backColorKey(), int(DefaultBackColor)));
    update();
}

void jChart::WriteProperties(PropertyBag &bag) const
{
    bag.write(backColorKey(), int(BackColor()), int(DefaultBackColor));
}

void jChart::SetBackColor(OleColor colour)
{
    m_backColor = colour;
    if (m_site)
        m_site->propertyChanged(backColorKey());
    update();
}

void jChart::AddItem(const QString &label, std::int16_t value, OleColor colour, OleColor labelColour)
{
    if (m_columns.size() >= Capacity) {
        throw RuntimeError::indexOutOfRange(
            QStringLiteral("The chart already holds %1 columns, as many as it can show. "
                           "Clear the graph before adding another column.")
                .arg(Capacity));
    }
    m_columns.append({label, value, colour, labelColour});
    announceColumnCount(this);
    layOut();
}

void jChart::Clear()
{
    if (m_columns.isEmpty())
        return;
    // The elements of the stored columns are hidden, not destroyed: the next
    // layout shows them again. A column stored while the control was too
    // wide to lay out has no elements yet; there is nothing of it to hide.
    for (int i = 0; i < m_columns.size(); ++i) {
        if (ChartElement *label = m_scene.element(ElementFamily::Label, i))
            label->setVisible(false);
        if (ChartElement *item = m_scene.element(ElementFamily::Item, i))
            item->setVisible(false);
    }
    m_columns.clear();
    announceColumnCount(this);
    update();
}

void jChart::setColumns(const QList<ChartColumn> &columns)
{
    if (columns.size() > Capacity) {
        throw RuntimeError::indexOutOfRange(
            QStringLiteral("A chart holds at most %1 columns, not %2.").arg(Capacity).arg(columns.size()));
    }
    // Elements past the new columns are hidden as Clear hides them; the
    // layout shows and places the rest.
    for (int i = int(columns.size()); i < m_columns.size(); ++i) {
        if (ChartElement *label = m_scene.element(ElementFamily::Label, i))
            label->setVisible(false);
        if (ChartElement *item = m_scene.element(ElementFamily::Item, i))
            item->setVisible(false);
    }
    m_columns = columns;
    announceColumnCount(this);
    if (m_current >= m_columns.size())
        setCurrentColumn(int(m_columns.size()) - 1);
    layOut();
}

void jChart::setDrawingOrder(const SavedOrder &order)
{
    m_scene.restoreOrder(order);
    update();
}

void jChart::resetDrawingOrder()
{
    m_scene.resetOrder();
    // The layout brings the labels inside their columns to the front again.
    layOut();
}

void jChart::setCurrentColumn(int index)
{
    index = index >= 0 && index < m_columns.size() ? index : -1;
    if (index == m_current)
        return;
    m_current = index;
    update();
    if (index >= 0 && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

QRect jChart::columnRect(int index) const
{
    const QRect device = deviceColumnRect(index);
    const double ratio = m_scene.resolution().pixelRatio();
    if (ratio == 1)
        return device;
    return QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio).toAlignedRect();
}

QRect jChart::deviceColumnRect(int index) const
{
    const ChartElement *item = this->item(index);
    const ChartElement *label = this->label(index);
    if (index < 0 || index >= m_columns.size() || !item || !label || !item->isVisible())
        return {};
    return m_scene.pixelRect(*item) | m_scene.pixelRect(*label);
}

int jChart::columnAt(QPoint point) const
{
    // The last column drawn lies on top where neighbours overlap.
    for (int i = int(m_columns.size()) - 1; i >= 0; --i) {
        if (columnRect(i).contains(point))
            return i;
    }
    return -1;
}

void jChart::layOut()
{
    // The control's size in twips, and its labels' sizes, at the resolution
    // of the screen it is on.
    m_scene.setResolution(Resolution::of(this));
    const QSize device = m_scene.resolution().toDevicePixels(size());
    const float width = float(m_scene.resolution().toTwipsX(device.width()));
    const float height = float(m_scene.resolution().toTwipsY(device.height()));

    ChartElement &border = m_scene.border();
    border.setLeft(0);
    border.setTop(0);
    border.setWidth(width);
    border.setHeight(height);
    // One repaint for the whole pass, asked for before anything can fail.
    update();

    if (m_columns.isEmpty())
        return;
    try {
        m_usableWidth = toInt16(width - Margins);
    } catch (const RuntimeError &) {
        throw RuntimeError::overflow(
            QStringLiteral("The chart is too wide to lay out its columns: it can be at most 32,867 twips wide."));
    }
    m_columnPitch = toInt16(double(m_usableWidth) / m_columns.size());
    layOutColumns(height);
}

void jChart::layOutColumns(float controlHeight)
{
    const std::int16_t unitHeight = toInt16((controlHeight - Margins) / PercentSpan);

    // From here on a step that fails (an element that exists already, an
    // overflow) is skipped and the layout goes on.
    //
    // A size that works out below zero (a negative value, a control lower or
    // narrower than its two margins) is drawn as zero: a column flat on the
    // baseline, exactly like a value of 0, or a column of no width at its
    // place. A value above 100 is drawn like 100, at full height with its
    // label inside it, in view. The stored value stays as entered. Every
    // size is set on every pass, so nothing of an earlier layout or of
    // element 0 ever shows through.
    const float columnWidth = std::max(0.0f, m_columnPitch / 2.0f);
    std::int16_t x = Margin;
    for (int i = 0; i < m_columns.size(); ++i) {
        const ChartColumn &column = m_columns.at(i);
        const int shown = std::clamp<int>(column.value, 0, PercentSpan);
        m_scene.create(ElementFamily::Item, i);
        ChartElement &item = *m_scene.element(ElementFamily::Item, i);
        item.setLeft(x);
        item.setWidth(columnWidth);
        item.setFillColour(column.colour);
        item.setHeight(std::max(0.0f, float(unitHeight) * float(shown)));
        item.setTop(controlHeight - Margin - item.height());
        item.setVisible(true);

        m_scene.create(ElementFamily::Label, i);
        ChartElement &label = *m_scene.element(ElementFamily::Label, i);
        m_scene.setCaption(label, column.label);
        label.setLeft(item.width() * LabelShiftNumerator / LabelShiftDenominator - LabelBackset + item.left());
        if (shown > LabelThreshold) {
            label.setTop(item.top() + LabelInset);
            m_scene.bringToFront(label);
        } else {
            label.setTop(item.top() - label.height());
        }
        label.setTextColour(column.labelColour);
        label.setVisible(true);

        advance(x, m_columnPitch);
    }
}

void jChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // No exception may cross Qt's event loop. A control too wide to lay out
    // gets its new frame and keeps its columns where the last layout put them.
    try {
        layOut();
    } catch (const RuntimeError &) {
    }
}

void jChart::paintEvent(QPaintEvent *)
{
    // A layout made for another resolution (the window moved to another
    // screen, or its screen changed its scale) is made again first.
    const Resolution resolution = Resolution::of(this);
    if (m_scene.resolution() != resolution) {
        try {
            layOut();
        } catch (const RuntimeError &) {
        }
    }
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    // The scene is laid out in the screen's device pixels.
    m_scene.resolution().paintInDevicePixels(painter);
    m_scene.paint(painter);

    // The focus rectangle is drawn into the window's backing store only: a
    // picture of the window (render, grab) paints into a device of its own.
    QBackingStore *store = backingStore();
    const bool onScreen = store && painter.paintEngine() && painter.paintEngine()->paintDevice() == store->paintDevice();
    if (onScreen && hasFocus() && m_current >= 0) {
        painter.setPen(QPen(toQColor(SystemColour::WindowText), 1, Qt::DotLine));
        painter.drawRect(deviceColumnRect(m_current).adjusted(-2, -2, 1, 1));
    }
}

void jChart::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void jChart::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}
