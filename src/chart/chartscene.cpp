#include "chartscene.h"

#include "fonts.h"
#include "numbers.h"
#include "twips.h"

#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

using Kind = ChartElement::Kind;

struct DesignElement
{
    Kind kind;
    float left, top, width, height;
    bool visible;
};

// The elements as the control is designed, in twips. Item 0 and Label 0 stay
// hidden until a layout shows them; the frame shows from the start.
constexpr DesignElement ItemDesign   {Kind::Rectangle, 1860, 600, 1215, 495, false};
constexpr DesignElement LabelDesign  {Kind::Text,       540, 600,   45, 195, false};
constexpr DesignElement BorderDesign {Kind::Frame,        0,   0, 1215, 495, true};

ChartElement fromDesign(const DesignElement &design)
{
    ChartElement element(design.kind, design.left, design.top, design.width, design.height);
    element.setVisible(design.visible);
    return element;
}

const QColor OutlineColour = Qt::black;

int snap(double twips, double twipsPerPixel)
{
    return int(roundHalfEven(twips / twipsPerPixel));
}

// Each edge is snapped on its own, so shapes that meet in twips meet in
// pixels too, with no gap or overlap between them.
QRect pixelBox(const ChartElement &element, double twipsPerPixelX, double twipsPerPixelY)
{
    const int left = snap(element.left(), twipsPerPixelX);
    const int top = snap(element.top(), twipsPerPixelY);
    const int right = snap(double(element.left()) + element.width(), twipsPerPixelX);
    const int bottom = snap(double(element.top()) + element.height(), twipsPerPixelY);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// A shape without extent still shows its outline as a one-pixel line, on the
// last pixel before its far edge: a column of height 0 lies on the row where
// its neighbours' bottom outlines lie.
QRect outlineBox(const QRect &box)
{
    QRect outline = box;
    if (outline.width() < 1)
        outline.setLeft(outline.right());
    if (outline.height() < 1)
        outline.setTop(outline.bottom());
    return outline;
}

void drawOutline(QPainter &painter, const QRect &box, const QColor &colour)
{
    painter.fillRect(box.left(), box.top(), box.width(), 1, colour);
    painter.fillRect(box.left(), box.bottom(), box.width(), 1, colour);
    painter.fillRect(box.left(), box.top(), 1, box.height(), colour);
    painter.fillRect(box.right(), box.top(), 1, box.height(), colour);
}

} // namespace

ChartScene::ChartScene()
    : m_border(fromDesign(BorderDesign))
    , m_labelFont(defaultControlFont(m_resolution))
    , m_labelMetrics(m_labelFont)
{
    m_items[0] = fromDesign(ItemDesign);
    m_labels[0] = fromDesign(LabelDesign);
    m_order = {&*m_items[0], &*m_labels[0], &m_border};
    m_order.reserve(2 * FamilySize + 1);
}

const ChartScene::Family &ChartScene::family(ElementFamily which) const
{
    return which == ElementFamily::Item ? m_items : m_labels;
}

bool ChartScene::create(ElementFamily which, int index)
{
    if (index < 0 || index >= FamilySize)
        return false;
    Family &elements = family(which);
    if (elements[index])
        return false;
    ChartElement &created = elements[index].emplace(*elements[0]);
    created.setVisible(false);
    m_order.insert(std::find(m_order.begin(), m_order.end(), &m_border), &created);
    return true;
}

ChartElement *ChartScene::element(ElementFamily which, int index)
{
    return const_cast<ChartElement *>(std::as_const(*this).element(which, index));
}

const ChartElement *ChartScene::element(ElementFamily which, int index) const
{
    if (index < 0 || index >= FamilySize)
        return nullptr;
    const std::optional<ChartElement> &slot = family(which)[index];
    return slot ? &*slot : nullptr;
}

void ChartScene::setResolution(const Resolution &resolution)
{
    if (resolution == m_resolution)
        return;
    m_resolution = resolution;
    m_labelFont = defaultControlFont(resolution);
    m_labelMetrics = QFontMetrics(m_labelFont);
    for (std::optional<ChartElement> &label : m_labels) {
        if (label)
            measure(*label, label->caption());
    }
}

void ChartScene::setCaption(ChartElement &label, const QString &caption)
{
    if (caption != label.caption())
        measure(label, caption);
}

void ChartScene::measure(ChartElement &label, const QString &caption) const
{
    label.setCaption(caption, float(m_resolution.toTwipsX(m_labelMetrics.horizontalAdvance(caption))),
                     float(m_resolution.toTwipsY(m_labelMetrics.height())));
}

void ChartScene::bringToFront(const ChartElement &element)
{
    // Search from the front: a label brought forward in the last pass is
    // found after a few steps.
    const auto found = std::find(m_order.rbegin(), m_order.rend(), &element);
    if (found != m_order.rend())
        std::rotate(std::prev(found.base()), found.base(), m_order.end());
}

int ChartScene::savedName(const ChartElement *element) const
{
    for (int i = 0; i < FamilySize; ++i) {
        if (m_items[i] && &*m_items[i] == element)
            return i;
        if (m_labels[i] && &*m_labels[i] == element)
            return FamilySize + i;
    }
    return -1;
}

ChartElement *ChartScene::saved(int name)
{
    if (name < 0)
        return &m_border;
    return name < FamilySize ? element(ElementFamily::Item, name) : element(ElementFamily::Label, name - FamilySize);
}

SavedOrder ChartScene::saveOrder() const
{
    SavedOrder order;
    for (const ChartElement *element : m_order)
        order.m_elements.push_back(savedName(element));
    return order;
}

void ChartScene::restoreOrder(const SavedOrder &order)
{
    std::vector<ChartElement *> restored;
    restored.reserve(m_order.capacity());
    for (int name : order.m_elements) {
        if (ChartElement *element = saved(name))
            restored.push_back(element);
    }
    std::vector<ChartElement *> created;
    for (ChartElement *element : m_order) {
        if (std::find(restored.begin(), restored.end(), element) == restored.end())
            created.push_back(element);
    }
    restored.insert(std::find(restored.begin(), restored.end(), &m_border), created.begin(), created.end());
    m_order = std::move(restored);
}

void ChartScene::resetOrder()
{
    m_order.clear();
    for (int i = 0; i < FamilySize; ++i) {
        if (m_items[i])
            m_order.push_back(&*m_items[i]);
        if (m_labels[i])
            m_order.push_back(&*m_labels[i]);
    }
    m_order.push_back(&m_border);
}

QRect ChartScene::pixelRect(const ChartElement &element) const
{
    return outlineBox(pixelBox(element, m_resolution.twipsPerPixelX(), m_resolution.twipsPerPixelY()));
}

void ChartScene::paint(QPainter &painter) const
{
    const double twipsPerPixelX = m_resolution.twipsPerPixelX();
    const double twipsPerPixelY = m_resolution.twipsPerPixelY();
    painter.setFont(m_labelFont);
    const int ascent = m_labelMetrics.ascent();
    for (const ChartElement *element : m_order) {
        if (!element->isVisible())
            continue;
        const QRect box = pixelBox(*element, twipsPerPixelX, twipsPerPixelY);
        switch (element->kind()) {
        case Kind::Rectangle:
            painter.fillRect(box, toQColor(element->fillColour()));
            drawOutline(painter, outlineBox(box), OutlineColour);
            break;
        case Kind::Frame:
            drawOutline(painter, outlineBox(box), toQColor(SystemColour::WindowText));
            break;
        case Kind::Text:
            painter.setPen(toQColor(element->textColour()));
            painter.drawText(box.left(), box.top() + ascent, element->caption());
            break;
        }
    }
}
