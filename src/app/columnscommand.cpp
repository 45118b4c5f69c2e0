#include "columnscommand.h"

#include "jchart.h"

ColumnsCommand::ColumnsCommand(jChart *chart, const QString &name, const QList<ChartColumn> &after, int currentAfter)
    : QUndoCommand(name)
    , m_chart(chart)
    , m_before(chart->columns())
    , m_after(after)
    , m_orderBefore(chart->drawingOrder())
    , m_currentBefore(chart->currentColumn())
    , m_currentAfter(currentAfter)
{
}

void ColumnsCommand::undo()
{
    if (!m_chart)
        return;
    m_chart->setColumns(m_before);
    m_chart->setDrawingOrder(m_orderBefore);
    m_chart->setCurrentColumn(m_currentBefore);
}

void ColumnsCommand::redo()
{
    if (!m_chart)
        return;
    m_chart->setColumns(m_after);
    if (m_orderAfter)
        m_chart->setDrawingOrder(*m_orderAfter);
    else
        m_orderAfter = m_chart->drawingOrder();
    m_chart->setCurrentColumn(m_currentAfter);
}
