#pragma once

#include "chartcolumn.h"
#include "chartscene.h"
#include "colours.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <cstdint>

class ControlSite;
class PropertyBag;

// A column chart drawn by hand: up to Capacity columns, each a filled
// rectangle standing on a common baseline with its label above it. The
// columns are a list of records; the picture is a retained list of child
// elements laid out in twips, which paintEvent draws.
class jChart : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Capacity = ChartCapacity;

    explicit jChart(QWidget *parent = nullptr);

    void setSite(ControlSite *site) { m_site = site; }

    // Life cycle, called by the host.
    void Initialize();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor colour);
    std::int16_t ItemCount() const { return std::int16_t(m_columns.size()); }
    // Throws RuntimeError: IndexOutOfRange when the chart is full (nothing is
    // stored), Overflow from the layout of a chart too wide to lay out (the
    // column stays stored).
    void AddItem(const QString &label, std::int16_t value, OleColor colour, OleColor labelColour);
    void Clear();
    // Replaces every column at once and lays the chart out again: what
    // AddItem and Clear would have made of these columns. More than Capacity
    // columns throw RuntimeError (IndexOutOfRange) and change nothing.
    void setColumns(const QList<ChartColumn> &columns);

    // The order the elements are drawn in depends on the chart's history: a
    // label inside its column is brought to the front and stays there. A
    // saved order given back after setColumns draws the chart as it was
    // drawn when the order was saved.
    SavedOrder drawingOrder() const { return m_scene.saveOrder(); }
    void setDrawingOrder(const SavedOrder &order);
    // Draws the columns in the order a new chart draws them once it has been
    // given them, whatever this chart showed before. Throws RuntimeError
    // (Overflow) as layOut does.
    void resetDrawingOrder();

    // The layout pass: frames the control with its border and lays out every
    // stored column for the control's current size. It runs whenever the
    // control's size changes (resizeEvent is the host's size notification)
    // and after every new column. Throws RuntimeError (Overflow) for a
    // control too wide or too high to lay out; the border is placed by then.
    void layOut();

    // The stored columns, in the order they were added.
    const QList<ChartColumn> &columns() const { return m_columns; }
    // Read-only views of the layout's figures and the elements.
    std::int16_t usableWidth() const { return m_usableWidth; }
    std::int16_t columnPitch() const { return m_columnPitch; }
    const ChartScene &scene() const { return m_scene; }
    // The rectangle and the label of column `index`; nullptr for an element
    // that no layout has created yet.
    const ChartElement *item(int index) const { return m_scene.element(ElementFamily::Item, index); }
    const ChartElement *label(int index) const { return m_scene.element(ElementFamily::Label, index); }
    const ChartElement &border() const { return m_scene.border(); }

    // The column the keyboard acts on, -1 for none. While the chart has the
    // focus it shows a focus rectangle around it, on the screen only: the
    // chart's picture never holds it.
    int currentColumn() const { return m_current; }
    void setCurrentColumn(int index);
    // Where column `index` shows, its rectangle and its label, in the
    // chart's coordinates; empty for a column that is not laid out.
    QRect columnRect(int index) const;
    // The column shown at a point of the chart, -1 for none.
    int columnAt(QPoint point) const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void layOutColumns(float controlHeight);
    // columnRect in the device pixels the scene is laid out in.
    QRect deviceColumnRect(int index) const;

    QList<ChartColumn> m_columns;
    // Written by every layout pass that has columns to lay out.
    std::int16_t m_usableWidth = 0;
    std::int16_t m_columnPitch = 0;

    ChartScene m_scene;
    ControlSite *m_site = nullptr;
    OleColor m_backColor = 0x00FFFFFF;
    int m_current = -1;
};
