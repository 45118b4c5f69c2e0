#include "charteditor.h"

#include "chartclipboard.h"
#include "columndialog.h"
#include "columnscommand.h"
#include "formdialogs.h"
#include "jchart.h"
#include "runtimeerror.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUndoStack>

#include <algorithm>

namespace {

QString pasteName(qsizetype count)
{
    return count == 1 ? QStringLiteral("Paste 1 Column") : QStringLiteral("Paste %1 Columns").arg(count);
}

} // namespace

ChartEditor::ChartEditor(jChart *chart, QUndoStack *history, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_chart(chart)
    , m_history(history)
{
    // The keys are the chart's own (see handleKey); the menu only names them.
    menu->addSeparator();
    m_edit = menu->addAction(QStringLiteral("&Edit Column…\tEnter"), this, [this] { editColumn(m_menuTarget); });
    m_remove = menu->addAction(QStringLiteral("Re&move Column\tDel"), this, [this] { removeColumn(m_menuTarget); });
    m_moveLeft = menu->addAction(QStringLiteral("Move Le&ft\tCtrl+Left"), this, [this] { moveColumn(m_menuTarget, -1); });
    m_moveRight = menu->addAction(QStringLiteral("Move Righ&t\tCtrl+Right"), this, [this] { moveColumn(m_menuTarget, 1); });
    m_paste = menu->addAction(QStringLiteral("&Paste Columns"), this, &ChartEditor::pasteColumns);
    m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_paste->setShortcutContext(Qt::WidgetShortcut);
    chart->addAction(m_paste);
    connect(menu, &QMenu::aboutToShow, this, &ChartEditor::updateActions);
    // Asking the clipboard what it holds is a round trip to its owner: done
    // when the menu opens, not on every copy anywhere.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, m_paste, [this] { m_paste->setEnabled(true); });
    chart->installEventFilter(this);
}

void ChartEditor::updateActions()
{
    // The menu acts on the column picked in the chart when it opened there
    // (a right click picks the column under it); opened elsewhere, on none.
    const int column = m_menuTarget = m_menuFromChart ? m_chart->currentColumn() : -1;
    m_menuFromChart = false;
    m_edit->setEnabled(column >= 0);
    m_remove->setEnabled(column >= 0);
    m_moveLeft->setEnabled(column > 0);
    m_moveRight->setEnabled(column >= 0 && column < m_chart->ItemCount() - 1);
    m_paste->setEnabled(ChartClipboard::holdsColumns(QGuiApplication::clipboard()->mimeData()));
}

void ChartEditor::push(const QString &name, const QList<ChartColumn> &after, int current)
{
    m_history->push(new ColumnsCommand(m_chart, name, after, current));
}

void ChartEditor::addColumn(const ChartColumn &column)
{
    if (m_chart->ItemCount() >= jChart::Capacity) {
        throw RuntimeError::indexOutOfRange(
            QStringLiteral("The chart already holds %1 columns, as many as it can show.").arg(jChart::Capacity));
    }
    push(QStringLiteral("Add Column"), m_chart->columns() + QList<ChartColumn>{column}, m_chart->currentColumn());
}

void ChartEditor::clearGraph()
{
    if (m_chart->ItemCount() > 0)
        push(QStringLiteral("Clear Graph"), {}, -1);
}

void ChartEditor::editColumn(int index)
{
    if (index < 0 || index >= m_chart->ItemCount())
        return;
    QList<ChartColumn> columns = m_chart->columns();
    ColumnDialog dialog(columns.at(index), m_chart->window());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    FormDialogs::takeBackActivation(m_chart->window());
    if (!accepted || dialog.column() == columns.at(index))
        return;
    columns[index] = dialog.column();
    push(QStringLiteral("Edit Column"), columns, index);
}

void ChartEditor::removeColumn(int index)
{
    if (index < 0 || index >= m_chart->ItemCount())
        return;
    QList<ChartColumn> columns = m_chart->columns();
    columns.removeAt(index);
    push(QStringLiteral("Remove Column"), columns, std::min(index, int(columns.size()) - 1));
}

void ChartEditor::moveColumn(int index, int by)
{
    const int to = index + by;
    if (index < 0 || to < 0 || to >= m_chart->ItemCount())
        return;
    QList<ChartColumn> columns = m_chart->columns();
    columns.move(index, to);
    push(by < 0 ? QStringLiteral("Move Column Left") : QStringLiteral("Move Column Right"), columns, to);
}

void ChartEditor::pasteText(const QString &text)
{
    QMimeData data;
    data.setText(text);
    paste(&data);
}

void ChartEditor::paste(const QMimeData *data)
{
    const QList<ChartColumn> pasted = ChartClipboard::columns(data);
    const int count = m_chart->ItemCount();
    if (count + pasted.size() > jChart::Capacity) {
        throw RuntimeError::indexOutOfRange(
            QStringLiteral("Pasting %1 columns would give the chart %2; a chart holds at most %3, and this one "
                           "holds %4 already.")
                .arg(pasted.size())
                .arg(count + pasted.size())
                .arg(jChart::Capacity)
                .arg(count));
    }
    push(pasteName(pasted.size()), m_chart->columns() + pasted, count);
}

void ChartEditor::pasteColumns()
{
    try {
        paste(QGuiApplication::clipboard()->mimeData());
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_chart->window(), QStringLiteral("The columns could not be pasted.\n\n%1\n\n"
                                                                 "The chart was not changed.")
                                                      .arg(error.message()));
    }
}

bool ChartEditor::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_chart->setCurrentColumn(m_chart->columnAt(static_cast<QMouseEvent *>(event)->position().toPoint()));
        break;
    case QEvent::MouseButtonDblClick:
        if (const auto *click = static_cast<QMouseEvent *>(event); click->button() == Qt::LeftButton) {
            const int column = m_chart->columnAt(click->position().toPoint());
            editColumn(column);
            return column >= 0;
        }
        break;
    case QEvent::ContextMenu:
        m_menuFromChart = true;
        break;
    case QEvent::KeyPress:
        // Shift+F10 opens the menu on the chart too.
        m_menuFromChart = static_cast<QKeyEvent *>(event)->key() == Qt::Key_F10;
        if (handleKey(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool ChartEditor::handleKey(const QKeyEvent *key)
{
    const int current = m_chart->currentColumn();
    const int last = m_chart->ItemCount() - 1;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
        moveColumn(current, key->key() == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Left:
        m_chart->setCurrentColumn(current < 0 ? last : std::max(0, current - 1));
        return true;
    case Qt::Key_Right:
        m_chart->setCurrentColumn(current < 0 ? 0 : std::min(last, current + 1));
        return true;
    case Qt::Key_Home:
        m_chart->setCurrentColumn(0);
        return true;
    case Qt::Key_End:
        m_chart->setCurrentColumn(last);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        editColumn(current);
        return current >= 0;
    case Qt::Key_Delete:
        removeColumn(current);
        return current >= 0;
    default:
        return false;
    }
}
