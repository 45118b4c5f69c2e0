#include "columnscommand.h"

#include "jchart.h"

ColumnsCommand::ColumnsCommand(jChart *chart, const QString &name, const QList<ChartColumn> &after, int currentAfter)
    : QUndoCommand(name)
    , m_chart(chart)
    , m_before(chart->columns())
    , m_after(after)
    , m_currentBefore(chart->currentColumn())
    , m_currentAfter(currentAfter)
{
}

void ColumnsCommand::undo()
{
    if (!m_chart)
        return;
    m_chart->setColumns(m_before);
    m_chart->setCurrentColumn(m_currentBefore);
}

void ColumnsCommand::redo()
{
    if (!m_chart)
        return;
    m_chart->setColumns(m_after);
    m_chart->setCurrentColumn(m_currentAfter);
}
