#pragma once

#include <QAccessibleWidget>

class jChart;

// Announces the chart as a chart and says how many columns it holds.
class jChartAccessible : public QAccessibleWidget
{
public:
    explicit jChartAccessible(jChart *chart);

    QString text(QAccessible::Text t) const override;
};
