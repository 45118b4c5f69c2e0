#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class jChart;

// One column of the chart as assistive technology hears it: its label as
// its name and its value as its value.
class ChartColumnAccessible : public QAccessibleInterface
{
public:
    ChartColumnAccessible(jChart *chart, int index);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    QPointer<jChart> m_chart;
    int m_index;
};
