#pragma once

#include "chartdocument.h"
#include "documentfile.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class ChartEditor;
class QAction;
class QLineEdit;
class QMenu;
class QUndoStack;
class QWidget;
class jChart;

// The chart in the window as a document: the file it was opened from or
// saved to, its history of changes (Undo, Redo), Open Chart, Save Chart and
// Save Chart As, files dropped on the window, the title bar's document name
// and unsaved-changes mark, and the question whether to save them before
// they would be lost.
//
// The heading and the axis titles are the window's text boxes; each change
// typed there is a step of the history, as every change to the columns is
// (ChartEditor).
class DocumentController : public QObject
{
    Q_OBJECT

public:
    struct TextBoxes
    {
        QLineEdit *heading;
        QLineEdit *yAxisTitle;
        QLineEdit *xAxisTitle;
    };

    DocumentController(QWidget *window, jChart *chart, const TextBoxes &texts, QMenu *menu);

    ChartEditor *editor() const { return m_editor; }
    QUndoStack *history() const { return m_history; }

    // What the window shows, as a document.
    ChartDocument document() const;

    // Shows a document with a fresh history, as read from path in that
    // format; with no path, as a new chart.
    void showDocument(const ChartDocument &document, const QString &path = QString(),
                      DocumentFile::Format format = DocumentFile::Format::Chart);
    // Reads the file and shows it. Throws RuntimeError and changes nothing
    // when it cannot be read.
    void load(const QString &path);
    // The file named on the command line: read before the window shows; a
    // file that cannot be read is reported once it shows.
    void openAtStart(const QString &path);
    // Open Chart for a known file: reads it, asks about unsaved changes,
    // shows it; says so when it cannot be read.
    void openFile(const QString &path);
    void openChart();
    // Save Chart: to the document's file, or Save Chart As for a new one.
    // True when it was saved.
    bool saveChart();
    bool saveChartAs();
    // Asks whether to save unsaved changes: Save (and it saved), Discard or
    // nothing to save give true; Cancel gives false.
    bool maybeKeepChanges();

    // Asks the user for a file: to open or to save, starting at path, with
    // filters; returns the chosen path (empty when cancelled) and sets
    // *selectedFilter.
    using FileChooser = std::function<QString(bool save, const QString &path, const QString &filters,
                                              QString *selectedFilter)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addActions(QMenu *menu);
    void watchTextBoxes();
    bool write(const QString &path, DocumentFile::Format format);
    void updateTitle();
    QString documentName() const;
    QString startFolder() const;
    QString suggestedPath() const;
    bool dropFile(QEvent *event);

    QWidget *m_window;
    jChart *m_chart;
    TextBoxes m_texts;
    QUndoStack *m_history;
    ChartEditor *m_editor;
    FileChooser m_chooseFile;

    QString m_filePath;  // the chart file Save Chart writes
    QString m_shownPath; // the file the title names: the chart file, or the table it was read from
    QString m_lastFolder;

    // The text each box held before its latest change, and the typing
    // session: a step of typing in a box ends when the box is left or the
    // history moves.
    QHash<QLineEdit *, QString> m_knownTexts;
    int m_session = 0;
    bool m_pushing = false;

    QAction *m_save = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};
