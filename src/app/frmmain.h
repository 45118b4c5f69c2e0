#pragma once

#include "colourpalette.h"
#include "colours.h"
#include "twips.h"

#include <QString>
#include <QWidget>

#include <array>

class DocumentController;
class FormLabel;
class PictureBox;
class SaveNotice;
class QLineEdit;
class QMenu;
class ccXPButton;
class jChart;

// The program's one window: a column chart with its scale and titles above
// the controls for entering, saving and clearing columns.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // Writes the picture of any window (FormPicture) to a 24-bit bitmap file
    // at path; the buffer, a picture box on that window, keeps the picture
    // and stays hidden. Throws RuntimeError (File) when the file cannot be
    // written, or (Overflow) when the picture would be too large to make; the
    // buffer is then left as it was.
    static void SaveFormImageToFile(QWidget *window, PictureBox *buffer, const QString &path);

    // The folder the graphs are saved in: the program's own by default, in
    // the file system's encoding. When it cannot be written to, the graphs go
    // to the user's pictures folder instead.
    QByteArray pictureFolder() const { return m_pictureFolder; }
    void setPictureFolder(const QByteArray &folder) { m_pictureFolder = folder; }
    void setPictureFolder(const QString &folder);

    // The chart as a document: its file, its history and its commands.
    DocumentController *document() const { return m_document; }

    // The resolution the window is laid out for: that of its screen.
    const Resolution &resolution() const { return m_resolution; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QSize clientSize() const;
    void buildFromDesign();
    void applyLayout();
    bool followScreen();
    void followScreenScale();
    void connectHandlers();
    void addKeyboardShortcuts(QMenu *menu);
    void centreOnScreen();

    // What the buttons and the colour labels do when clicked.
    void addColumn();
    void clearGraph();
    void saveGraph();
    void exitProgram();
    void chooseColour(FormLabel *label);
    void pickPaletteColour(int index);

    void writeGraphFile();
    QByteArray graphFolder() const;
    bool mayBeSaved(const QString &number, const QByteArray &folder, QString *next);
    bool mayReplace(const QByteArray &folder, QString *number, QString *next);
    void tellWhereTheGraphWent(const QByteArray &path, const QByteArray &folder);

    template<typename T>
    T *control(const QString &name) const;

    QLineEdit *m_valueBox = nullptr;
    QLineEdit *m_labelBox = nullptr;
    QLineEdit *m_pictureNumberBox = nullptr;
    jChart *m_chart = nullptr;
    PictureBox *m_captureBuffer = nullptr;
    FormLabel *m_labelColourSwatch = nullptr;
    FormLabel *m_columnColourSwatch = nullptr;
    // The "Column Color:" caption, which opens the colour dialog too.
    FormLabel *m_columnColourCaption = nullptr;
    std::array<FormLabel *, ColourPalette::Size> m_palette = {};
    ccXPButton *m_addColumnButton = nullptr;
    ccXPButton *m_clearGraphButton = nullptr;
    ccXPButton *m_saveGraphButton = nullptr;
    ccXPButton *m_exitButton = nullptr;
    DocumentController *m_document = nullptr;

    // The colour the colour dialog last gave: black until the first choice.
    OleColor m_dialogColour = 0x00000000;
    QByteArray m_pictureFolder;
    // Why the program's folder could not be found, when it could not.
    QString m_folderProblem;
    SaveNotice *m_saveNotice = nullptr;
    bool m_toldOfPicturesFolder = false;
    Resolution m_resolution;
    bool m_shown = false;
    bool m_saving = false;
};
