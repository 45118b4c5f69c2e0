#pragma once

#include "chartcolumn.h"
#include "chartelement.h"
#include "twips.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

enum class ElementFamily : std::uint8_t { Item, Label };

// A scene's drawing order taken to be given back later: which elements,
// back to front, named by family and index, so that it outlives the pointers.
class SavedOrder
{
public:
    bool operator==(const SavedOrder &) const = default;

private:
    friend class ChartScene;
    std::vector<int> m_elements; // items 0.., labels FamilySize.., the frame -1
};

// The chart's retained picture: the indexed families of column rectangles
// (Item) and labels (Label), the frame (Border), and the order in which they
// are drawn. Element 0 of each family and the frame exist from the start;
// further elements are created on demand and live as long as the scene.
class ChartScene
{
public:
    static constexpr int FamilySize = ChartCapacity;

    ChartScene();
    ChartScene(const ChartScene &) = delete;
    ChartScene &operator=(const ChartScene &) = delete;

    // Creates element `index` as a hidden copy of element 0 of its family,
    // drawn behind the frame. Fails, changing nothing, when the element
    // exists already or the index lies outside the family.
    bool create(ElementFamily family, int index);

    // nullptr for an element that has not been created.
    ChartElement *element(ElementFamily family, int index);
    const ChartElement *element(ElementFamily family, int index) const;
    ChartElement &border() { return m_border; }
    const ChartElement &border() const { return m_border; }

    // The resolution the scene is measured and drawn at: twips per pixel and
    // the label font follow it. A new resolution measures every label again.
    const Resolution &resolution() const { return m_resolution; }
    void setResolution(const Resolution &resolution);

    // Labels size themselves to their caption: the text's advance by one
    // line of the label font. Only a changed caption is measured.
    void setCaption(ChartElement &label, const QString &caption);

    void bringToFront(const ChartElement &element);
    // Back to front.
    const std::vector<ChartElement *> &drawingOrder() const { return m_order; }
    SavedOrder saveOrder() const;
    // Elements created since the order was saved stay behind the frame, where
    // create puts them.
    void restoreOrder(const SavedOrder &order);
    // The order the elements have when each was created in turn, items and
    // labels by index, and none brought to the front.
    void resetOrder();

    // Where an element is drawn, in device pixels: its outline for a shape
    // without extent.
    QRect pixelRect(const ChartElement &element) const;

    // Draws the visible elements in drawing order, in device pixels.
    void paint(QPainter &painter) const;

    // The default control font at the scene's resolution, as it is drawn.
    QFont labelFont() const { return m_labelFont; }

private:
    using Family = std::array<std::optional<ChartElement>, FamilySize>;
    const Family &family(ElementFamily family) const;
    Family &family(ElementFamily which)
    {
        return const_cast<Family &>(std::as_const(*this).family(which));
    }
    void measure(ChartElement &label, const QString &caption) const;
    int savedName(const ChartElement *element) const;
    ChartElement *saved(int name);

    Family m_items;
    Family m_labels;
    ChartElement m_border;
    std::vector<ChartElement *> m_order;
    Resolution m_resolution;
    QFont m_labelFont;
    QFontMetrics m_labelMetrics;
};
