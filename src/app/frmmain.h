#pragma once

#include "colours.h"
#include "twips.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>

class FormLabel;
class PictureBox;
class QLineEdit;
class ccXPButton;
class jChart;

// The program's one window: a column chart with its scale and titles above
// the controls for entering, saving and clearing columns.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);

    // Writes the window's client area, from the top down to the height it
    // has while a picture is taken, to a 24-bit bitmap file at path. The
    // buffer keeps the picture and stays hidden. The window is drawn off the
    // screen, so nothing that covers it gets into the picture and it does not
    // change its size. Throws RuntimeError (File) when the file cannot be
    // written; the buffer is then left as it was.
    static void SaveFormImageToFile(QWidget *window, PictureBox *buffer, const QString &path);

    // The picture SaveFormImageToFile writes: the window drawn off the screen,
    // from the top of its client area down to the height it has while a
    // picture is taken. Copy Picture and Save Picture As use it too.
    static QImage captureFormImage(QWidget *window);
    // The part of the window that picture shows, in the window's coordinates.
    static QRect captureArea(QWidget *window);

    // The folder the graphs are saved in: the program's own by default.
    QString pictureFolder() const { return m_pictureFolder; }
    void setPictureFolder(const QString &folder) { m_pictureFolder = folder; }

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
    void centreOnScreen();

    void CcXAddColumn_Click();
    void CcXClearGraph_Click();
    void CcXSaveGraph_Click();
    void CcXExit_Click();
    void Label5_Click(int Index);
    void Label6_Click();
    void lblOtherColors_Click(int Index);

    void chooseColour(FormLabel *swatch);
    void saveGraph();
    void showError(const QString &message);
    void takeBackActivation();

    template<typename T>
    T *control(const QString &name) const;

    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *txt_picture_number = nullptr;
    jChart *UserControl11 = nullptr;
    PictureBox *Picture1 = nullptr;
    FormLabel *Label6 = nullptr;
    std::array<FormLabel *, 2> Label5 = {};
    std::array<FormLabel *, 16> lblOtherColors = {};
    ccXPButton *CcXAddColumn = nullptr;
    ccXPButton *CcXClearGraph = nullptr;
    ccXPButton *CcXSaveGraph = nullptr;
    ccXPButton *CcXExit = nullptr;

    // The colour the colour dialog last gave: black until the first choice.
    OleColor m_dialogColour = 0x00000000;
    QString m_pictureFolder;
    Resolution m_resolution;
    bool m_shown = false;
    bool m_saving = false;
};
