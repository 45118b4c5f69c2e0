#include "chartcolumnaccessible.h"

#include "jchart.h"

#include <QWidget>
#include <QWindow>

ChartColumnAccessible::ChartColumnAccessible(jChart *chart, int index)
    : m_chart(chart)
    , m_index(index)
{
}

bool ChartColumnAccessible::isValid() const
{
    return m_chart && m_index < m_chart->ItemCount();
}

QWindow *ChartColumnAccessible::window() const
{
    return m_chart ? m_chart->window()->windowHandle() : nullptr;
}

QAccessibleInterface *ChartColumnAccessible::parent() const
{
    return m_chart ? QAccessible::queryAccessibleInterface(m_chart) : nullptr;
}

QString ChartColumnAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const ChartColumn &column = m_chart->columns().at(m_index);
    switch (t) {
    case QAccessible::Name:
        return column.label.trimmed().isEmpty() ? QStringLiteral("Column %1").arg(m_index + 1) : column.label;
    case QAccessible::Value:
        return QString::number(column.value);
    case QAccessible::Description:
        return QStringLiteral("Column %1 of %2").arg(m_index + 1).arg(m_chart->ItemCount());
    default:
        return {};
    }
}

QRect ChartColumnAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect shown = m_chart->columnRect(m_index);
    return QRect(m_chart->mapToGlobal(shown.topLeft()), shown.size());
}

QAccessible::State ChartColumnAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    state.selectable = true;
    state.selected = m_chart->currentColumn() == m_index;
    state.focused = state.selected && m_chart->hasFocus();
    return state;
}
