#pragma once

#include "chartdocument.h"
#include "pictureexport.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QWidget;

// The context menu of the window's picture area (the chart and everything
// above the controls frame): Copy Picture puts the picture "Save Graph" saves
// on the clipboard, with the chart's columns (ChartClipboard), Save Picture
// As writes it as PNG, Windows bitmap, SVG or PDF. It opens on a right click
// there, and on the menu key or Shift+F10 while the chart has the focus; the
// chart takes the focus only by a click, so the Tab order stays as it is.
// Ctrl+Shift+C copies from anywhere in the window.
class PictureMenu : public QObject
{
    Q_OBJECT

public:
    PictureMenu(QWidget *window, QWidget *chart, QWidget *controlsFrame);

    QMenu *menu() const { return m_menu; }
    QAction *copyAction() const { return m_copy; }
    QAction *saveAction() const { return m_save; }

    // Asks the user for a file: starts at path (a folder and a file name),
    // offers filters with *selectedFilter chosen, and returns the chosen path
    // (empty when cancelled) with *selectedFilter set. It asks nothing about
    // replacing a file: Save Picture As asks that about the file it writes.
    using FileChooser = std::function<QString(const QString &folder, const QString &filters, QString *selectedFilter)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // The chart whose columns Copy Picture copies with the picture; with
    // none, it copies the picture only.
    using DocumentSource = std::function<ChartDocument()>;
    void setDocumentSource(DocumentSource source) { m_document = std::move(source); }

    // Where the file dialog opens first: the user's pictures folder, or the
    // home folder where there is none.
    static QString picturesFolder();

    void copyPicture();
    void savePictureAs();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inPictureArea(QPoint windowPoint) const;
    void popup(QPoint globalPoint);

    QWidget *m_window;
    QWidget *m_chart;
    QWidget *m_controlsFrame;
    QMenu *m_menu = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_save = nullptr;
    bool pictureCanBeMade(const QString &otherwise);
    std::optional<PictureExport::Target> chooseTarget();

    FileChooser m_chooseFile;
    DocumentSource m_document;
    QString m_lastFolder;
    QString m_lastFilter;
};
