#pragma once

#include "chartcolumn.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QMimeData;
class QUndoStack;
class jChart;

// Changes to the chart's columns, each one step of the history: Add Column
// and Clear Graph from the window's buttons; Edit Column, Remove Column,
// Move Left and Move Right from the chart's menu, a double click and the
// keyboard; Paste Columns from the clipboard.
//
// While the chart has the focus, Left and Right (Home, End) pick a column,
// Enter edits it, Delete removes it, Ctrl+Left and Ctrl+Right move it and
// Ctrl+V pastes. A click picks the column under it.
class ChartEditor : public QObject
{
    Q_OBJECT

public:
    ChartEditor(jChart *chart, QUndoStack *history, QMenu *menu, QObject *parent = nullptr);

    // Throws RuntimeError (IndexOutOfRange) when the chart is full; nothing
    // changes then.
    void addColumn(const ChartColumn &column);
    // Does nothing on an empty chart.
    void clearGraph();
    // Opens the column dialog; OK with a change makes one step.
    void editColumn(int index);
    void removeColumn(int index);
    // Moves column index by one place; `by` is -1 (left) or 1 (right).
    void moveColumn(int index, int by);
    // Appends the columns the data holds (ChartClipboard::columns): a copied
    // chart's, or a table's (TSV from a spreadsheet, CSV). Throws
    // RuntimeError (InvalidFormat) naming the line and the reason, or
    // (IndexOutOfRange) with the counts when they would pass the chart's
    // capacity; nothing changes then.
    void paste(const QMimeData *data);
    // Appends the columns of a table, as paste does.
    void pasteText(const QString &text);
    // Pastes from the clipboard; a failure is shown in a message box.
    void pasteColumns();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void push(const QString &name, const QList<ChartColumn> &after, int current);
    bool handleKey(const QKeyEvent *key);
    void updateActions();

    jChart *m_chart;
    QUndoStack *m_history;
    QAction *m_edit = nullptr;
    QAction *m_remove = nullptr;
    QAction *m_moveLeft = nullptr;
    QAction *m_moveRight = nullptr;
    QAction *m_paste = nullptr;
    bool m_menuFromChart = false; // the menu opens on the chart
    int m_menuTarget = -1;        // the column the open menu acts on
};
