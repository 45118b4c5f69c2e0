#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QList>

class jChart;

// Announces the chart as a chart and says how many columns it holds; each
// column is a child of its own.
class jChartAccessible : public QAccessibleWidget
{
public:
    explicit jChartAccessible(jChart *chart);
    ~jChartAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    const jChart *chart() const;

    // The columns' interfaces, made when first asked for and kept by index.
    mutable QList<QAccessible::Id> m_children;
};
