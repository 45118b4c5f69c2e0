#include "documentcontroller.h"

#include "atomicfile.h"
#include "charteditor.h"
#include "formdesign.h"
#include "formdialogs.h"
#include "jchart.h"
#include "runtimeerror.h"
#include "textcommand.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include <array>
#include <utility>

using DocumentFile::Format;

namespace {

const QString ChartFilter = QStringLiteral("Plinthos chart (*.plinthos)");
const QString TableFilter = QStringLiteral("CSV table, data only (*.csv)");
const QString OpenFilters = QStringLiteral("Charts and tables (*.plinthos *.csv *.tsv *.txt);;Plinthos charts (*.plinthos);;"
                                           "CSV and TSV tables (*.csv *.tsv *.txt);;All files (*)");

QString openFailure(const QString &reason)
{
    return QStringLiteral("The chart could not be opened.\n\n%1\n\nNothing was changed.").arg(reason);
}

// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y in the heading or an axis title are the
// window's Undo and Redo: the boxes are part of the chart's history.
bool isUndoKey(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Z && (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier)))
        || (key->key() == Qt::Key_Y && modifiers == Qt::ControlModifier);
}

QAction *windowAction(QWidget *window, QAction *action, const QList<QKeySequence> &keys)
{
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

} // namespace

DocumentController::DocumentController(QWidget *window, jChart *chart, const TextBoxes &texts, QMenu *menu)
    : QObject(window)
    , m_window(window)
    , m_chart(chart)
    , m_texts(texts)
    , m_history(new QUndoStack(this))
{
    setObjectName(QStringLiteral("DocumentController"));
    addActions(menu);
    m_editor = new ChartEditor(chart, m_history, menu, this);
    watchTextBoxes();
    m_chooseFile = [this](bool save, const QString &path, const QString &filters, QString *selectedFilter) {
        return save ? QFileDialog::getSaveFileName(m_window, QStringLiteral("Save Chart As"), path, filters, selectedFilter)
                    : QFileDialog::getOpenFileName(m_window, QStringLiteral("Open Chart"), path, filters, selectedFilter);
    };
    connect(m_history, &QUndoStack::cleanChanged, this, &DocumentController::updateTitle);
    connect(m_history, &QUndoStack::indexChanged, this, [this] {
        if (!m_pushing)
            ++m_session;
    });
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    updateTitle();
}

void DocumentController::addActions(QMenu *menu)
{
    menu->addSeparator();
    windowAction(m_window, menu->addAction(QStringLiteral("&Open Chart…"), this, &DocumentController::openChart),
                 {QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_save = windowAction(m_window, menu->addAction(QStringLiteral("Save C&hart"), this, &DocumentController::saveChart),
                          {QKeySequence(Qt::CTRL | Qt::Key_S)});
    windowAction(m_window, menu->addAction(QStringLiteral("Save Chart &As…"), this, &DocumentController::saveChartAs),
                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    menu->addSeparator();
    m_undo = windowAction(m_window, m_history->createUndoAction(this, QStringLiteral("&Undo")),
                          {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redo = windowAction(m_window, m_history->createRedoAction(this, QStringLiteral("&Redo")),
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addActions({m_undo, m_redo});
}

void DocumentController::watchTextBoxes()
{
    const std::array boxes = {std::pair{m_texts.heading, QStringLiteral("Edit Heading")},
                              std::pair{m_texts.yAxisTitle, QStringLiteral("Edit Y Axis Title")},
                              std::pair{m_texts.xAxisTitle, QStringLiteral("Edit X Axis Title")}};
    for (const auto &[box, name] : boxes) {
        m_knownTexts[box] = box->text();
        // textEdited comes before textChanged: the box's former text is
        // still known when the step is made.
        connect(box, &QLineEdit::textEdited, this, [this, box, name](const QString &text) {
            const QScopedValueRollback<bool> pushing(m_pushing, true);
            m_history->push(new TextCommand(box, name, m_knownTexts.value(box), text, m_session));
        });
        connect(box, &QLineEdit::textChanged, this, [this, box](const QString &text) { m_knownTexts[box] = text; });
        connect(box, &QLineEdit::editingFinished, this, [this] { ++m_session; });
        box->installEventFilter(this);
    }
}

ChartDocument DocumentController::document() const
{
    ChartDocument document;
    document.heading = m_texts.heading->text();
    document.yAxisTitle = m_texts.yAxisTitle->text();
    document.xAxisTitle = m_texts.xAxisTitle->text();
    document.columns = m_chart->columns();
    return document;
}

void DocumentController::load(const QString &path)
{
    Format format = Format::Chart;
    const ChartDocument document = DocumentFile::read(path, &format);
    showDocument(document, path, format);
}

void DocumentController::openAtStart(const QString &path)
{
    try {
        load(path);
    } catch (const RuntimeError &error) {
        // Said once the window shows, over it.
        QTimer::singleShot(0, this, [this, message = error.message()] { FormDialogs::showError(m_window, openFailure(message)); });
    }
}

void DocumentController::openFile(const QString &path)
{
    // Read first: a file that cannot be read asks nothing and changes nothing.
    ChartDocument document;
    Format format = Format::Chart;
    try {
        document = DocumentFile::read(path, &format);
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_window, openFailure(error.message()));
        return;
    }
    if (maybeKeepChanges())
        showDocument(document, path, format);
}

void DocumentController::openChart()
{
    QString filter;
    const QString path = m_chooseFile(false, startFolder(), OpenFilters, &filter);
    FormDialogs::takeBackActivation(m_window);
    if (!path.isEmpty())
        openFile(path);
}

void DocumentController::showDocument(const ChartDocument &document, const QString &path, Format format)
{
    m_texts.heading->setText(document.heading);
    m_texts.yAxisTitle->setText(document.yAxisTitle);
    m_texts.xAxisTitle->setText(document.xAxisTitle);
    m_chart->setColumns(document.columns);
    // Drawn as a new window draws the document, whatever this one showed.
    m_chart->resetDrawingOrder();
    m_chart->setCurrentColumn(-1);
    m_history->clear();
    ++m_session;
    const QFileInfo file(path);
    m_shownPath = path.isEmpty() ? QString() : file.absoluteFilePath();
    // Save Chart writes where a link opened points, and leaves the link.
    const QString target = file.canonicalFilePath();
    m_filePath = format != Format::Chart ? QString() : target.isEmpty() ? m_shownPath : target;
    if (!path.isEmpty())
        m_lastFolder = file.absolutePath();
    updateTitle();
}

bool DocumentController::saveChart()
{
    return m_filePath.isEmpty() ? saveChartAs() : write(m_filePath, Format::Chart);
}

bool DocumentController::saveChartAs()
{
    QString filter = ChartFilter;
    const QString chosen = m_chooseFile(true, suggestedPath(), ChartFilter + QStringLiteral(";;") + TableFilter, &filter);
    FormDialogs::takeBackActivation(m_window);
    if (chosen.isEmpty())
        return false;
    // The name's own extension wins over the type picked.
    const Format format = DocumentFile::formatOfName(chosen).value_or(filter == TableFilter ? Format::Table : Format::Chart);
    QString path = chosen;
    // A name that says no type of ours ("Report 2024.03") gets the type's
    // extension, so that the file is known by it again.
    if (!DocumentFile::formatOfName(chosen))
        path += format == Format::Table ? QStringLiteral(".csv") : QStringLiteral(".plinthos");
    // The dialog asked about replacing the name as typed, not this one.
    if (path != chosen) {
        const QByteArray bytes = QFile::encodeName(path);
        const AtomicFile::Occupant occupant = AtomicFile::occupant(bytes);
        if (occupant.kind != AtomicFile::Occupant::Nothing
            && !FormDialogs::confirm(m_window, AtomicFile::describeOccupant(bytes, occupant)
                                                   + QStringLiteral("\n\nDo you want to replace it?"))) {
            return false;
        }
    }
    return write(path, format);
}

bool DocumentController::write(const QString &path, Format format)
{
    try {
        AtomicFile::write(DocumentFile::encode(document(), format), QFile::encodeName(path),
                          format == Format::Chart ? QStringLiteral("chart") : QStringLiteral("table"));
    } catch (const AtomicFile::WriteError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\n")
                                             + AtomicFile::advice(error.problem(), QStringLiteral("name")));
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    // A table holds the columns only: the chart is saved only in a chart file.
    if (format == Format::Chart) {
        m_filePath = m_shownPath = QFileInfo(path).absoluteFilePath();
        m_history->setClean();
        updateTitle();
    }
    return true;
}

bool DocumentController::maybeKeepChanges()
{
    if (m_history->isClean())
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Plinthos"),
                    QStringLiteral("Do you want to save the changes to %1?").arg(documentName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    box.setInformativeText(QStringLiteral("If you do not save them, they are lost."));
    // S and D answer at once, as in most programs' question.
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    FormDialogs::takeBackActivation(m_window);
    if (answer == QMessageBox::Save)
        return saveChart();
    return answer == QMessageBox::Discard;
}

QString DocumentController::documentName() const
{
    return m_shownPath.isEmpty() ? QStringLiteral("the chart") : QFileInfo(m_shownPath).fileName();
}

void DocumentController::updateTitle()
{
    const QString caption = QString::fromUtf16(FormDesign::Caption);
    m_window->setWindowFilePath(m_shownPath);
    m_window->setWindowTitle(m_shownPath.isEmpty() ? caption + QStringLiteral("[*]")
                                                   : caption + QStringLiteral(" - ") + documentName() + QStringLiteral("[*]"));
    m_window->setWindowModified(!m_history->isClean());
    m_save->setEnabled(m_filePath.isEmpty() || !m_history->isClean());
}

QString DocumentController::startFolder() const
{
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString DocumentController::suggestedPath() const
{
    if (!m_filePath.isEmpty())
        return m_filePath;
    const QString name = m_shownPath.isEmpty() ? QStringLiteral("chart") : QFileInfo(m_shownPath).completeBaseName();
    return QDir(startFolder()).filePath(name + QStringLiteral(".plinthos"));
}

bool DocumentController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched != m_window && isUndoKey(static_cast<QKeyEvent *>(event)))
        return true; // not accepted: the shortcut goes to the window's action
    if (dropFile(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool DocumentController::dropFile(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // Opened once the drop has ended: a question asked inside it would
        // hold up the program the file came from.
        QTimer::singleShot(0, this, [this, path = urls.first().toLocalFile()] { openFile(path); });
    }
    return true;
}
