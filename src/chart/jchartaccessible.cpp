#include "jchartaccessible.h"

#include "chartcolumnaccessible.h"
#include "jchart.h"

jChartAccessible::jChartAccessible(jChart *chart)
    : QAccessibleWidget(chart, QAccessible::Chart)
{
}

jChartAccessible::~jChartAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

const jChart *jChartAccessible::chart() const
{
    return static_cast<const jChart *>(widget());
}

QString jChartAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const int count = chart()->ItemCount();
    return count == 1 ? QStringLiteral("Column chart with 1 column")
                      : QStringLiteral("Column chart with %1 columns").arg(count);
}

int jChartAccessible::childCount() const
{
    return chart()->ItemCount();
}

QAccessibleInterface *jChartAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (m_children.size() <= index) {
        auto *column = new ChartColumnAccessible(const_cast<jChart *>(chart()), int(m_children.size()));
        m_children.append(QAccessible::registerAccessibleInterface(column));
    }
    return QAccessible::accessibleInterface(m_children.at(index));
}

int jChartAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 0; i < m_children.size() && i < childCount(); ++i) {
        if (QAccessible::accessibleInterface(m_children.at(i)) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface *jChartAccessible::childAt(int x, int y) const
{
    return child(chart()->columnAt(chart()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface *jChartAccessible::focusChild() const
{
    return chart()->hasFocus() ? child(chart()->currentColumn()) : nullptr;
}
