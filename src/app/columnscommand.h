#pragma once

#include "chartcolumn.h"
#include "chartscene.h"

#include <QList>
#include <QPointer>
#include <QUndoCommand>

#include <optional>

class jChart;

// One step of the chart's history that changes its columns: adding,
// clearing, editing, removing, moving or pasting. It keeps the columns
// before and after the step, and the order their elements were drawn in, so
// that undoing and redoing give back exactly the chart that was, pixel for
// pixel, and the column the keyboard was on.
class ColumnsCommand : public QUndoCommand
{
public:
    ColumnsCommand(jChart *chart, const QString &name, const QList<ChartColumn> &after, int currentAfter = -1);

    void undo() override;
    void redo() override;

private:
    QPointer<jChart> m_chart;
    QList<ChartColumn> m_before;
    QList<ChartColumn> m_after;
    SavedOrder m_orderBefore;
    std::optional<SavedOrder> m_orderAfter; // known once the step is first done
    int m_currentBefore;
    int m_currentAfter;
};
