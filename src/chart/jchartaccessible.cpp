#include "jchartaccessible.h"

#include "jchart.h"

jChartAccessible::jChartAccessible(jChart *chart)
    : QAccessibleWidget(chart, QAccessible::Chart)
{
}

QString jChartAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const int count = static_cast<const jChart *>(widget())->ItemCount();
    return count == 1 ? QStringLiteral("Column chart with 1 column")
                      : QStringLiteral("Column chart with %1 columns").arg(count);
}
