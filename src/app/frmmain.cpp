#include "frmmain.h"

#include "ccxpbutton.h"
#include "colours.h"
#include "formbuilder.h"
#include "formdesign.h"
#include "formlabel.h"
#include "graphfile.h"
#include "jchart.h"
#include "numbers.h"
#include "picturebox.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QScreen>

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf16(FormDesign::Caption));
    setWindowIcon(QIcon(QPixmap::fromImage(FormDesign::iconImage())));
    setFixedSize(twipsToPixelsX(FormDesign::ClientWidth), twipsToPixelsY(FormDesign::ClientHeight));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(FormDesign::BackColour));
    setPalette(colours);

    m_pictureFolder = QCoreApplication::applicationDirPath();
    buildFromDesign();
    connectHandlers();
    centreOnScreen();
}

template<typename T>
T *frmMain::control(const QString &name) const
{
    T *widget = findChild<T *>(name);
    Q_ASSERT_X(widget, "frmMain", qPrintable(name));
    return widget;
}

void frmMain::buildFromDesign()
{
    FormBuilder builder(this);
    QWidget *frame = nullptr;
    for (const ControlDesign &design : FormDesign::formControls()) {
        QWidget *widget = builder.build(design, this);
        if (design.kind == ControlKind::Frame)
            frame = widget;
    }
    for (const ControlDesign &design : FormDesign::frameControls())
        builder.build(design, frame);
    for (int i = 0; i < FormDesign::PaletteSize; ++i)
        builder.build(FormDesign::paletteCell(i), frame);
    builder.applyFocusOrder();

    Text1 = control<QLineEdit>(QStringLiteral("Text1"));
    Text2 = control<QLineEdit>(QStringLiteral("Text2"));
    txt_picture_number = control<QLineEdit>(QStringLiteral("txt_picture_number"));
    UserControl11 = control<jChart>(QStringLiteral("UserControl11"));
    Picture1 = control<PictureBox>(QStringLiteral("Picture1"));
    Label6 = control<FormLabel>(QStringLiteral("Label6"));
    for (int i = 0; i < int(Label5.size()); ++i)
        Label5[i] = control<FormLabel>(QStringLiteral("Label5(%1)").arg(i));
    for (int i = 0; i < int(lblOtherColors.size()); ++i)
        lblOtherColors[i] = control<FormLabel>(QStringLiteral("lblOtherColors(%1)").arg(i));
    Label5[0]->setSwatch(QStringLiteral("Label colour"));
    Label5[1]->setSwatch(QStringLiteral("Column colour"));
    for (FormLabel *cell : lblOtherColors)
        cell->setSwatch();

    CcXAddColumn = control<ccXPButton>(QStringLiteral("CcXAddColumn"));
    CcXClearGraph = control<ccXPButton>(QStringLiteral("CcXClearGraph"));
    CcXSaveGraph = control<ccXPButton>(QStringLiteral("CcXSaveGraph"));
    CcXExit = control<ccXPButton>(QStringLiteral("CcXExit"));
}

void frmMain::connectHandlers()
{
    connect(CcXAddColumn, &ccXPButton::Click, this, &frmMain::CcXAddColumn_Click);
    connect(CcXClearGraph, &ccXPButton::Click, this, &frmMain::CcXClearGraph_Click);
    connect(CcXSaveGraph, &ccXPButton::Click, this, &frmMain::CcXSaveGraph_Click);
    connect(CcXExit, &ccXPButton::Click, this, &frmMain::CcXExit_Click);
    for (int i = 0; i < int(Label5.size()); ++i)
        connect(Label5[i], &FormLabel::Click, this, [this, i] { Label5_Click(i); });
    connect(Label6, &FormLabel::Click, this, &frmMain::Label6_Click);
    for (int i = 0; i < int(lblOtherColors.size()); ++i)
        connect(lblOtherColors[i], &FormLabel::Click, this, [this, i] { lblOtherColors_Click(i); });
}

void frmMain::centreOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    // setGeometry places the client area, whatever frame the window gets.
    QRect place = rect();
    place.moveCenter(screen->geometry().center());
    setGeometry(place);
}

void frmMain::CcXAddColumn_Click()
{
    const QString label = Text2->text();
    std::int16_t value = 0;
    try {
        value = toInt16(scanNumber(Text1->text()));
    } catch (const RuntimeError &) {
        showError(QStringLiteral("The value \"%1\" does not fit in a column.\n\n"
                                 "Enter a whole number from -32768 to 32767.")
                      .arg(Text1->text()));
        return;
    }
    try {
        UserControl11->AddItem(label, value, Label5[1]->BackColor(), Label5[0]->BackColor());
    } catch (const RuntimeError &error) {
        if (error.kind() == ErrorKind::IndexOutOfRange)
            showError(QStringLiteral("The chart holds at most 100 columns.\n\n"
                                     "Press Clear Graph to start a new chart."));
        else
            showError(error.message());
    }
}

void frmMain::CcXClearGraph_Click()
{
    UserControl11->Clear();
}

void frmMain::CcXSaveGraph_Click()
{
    // The error box of a failed save runs an event loop; a click that arrives
    // there must not start a second save inside this one.
    if (m_saving)
        return;
    const QScopedValueRollback<bool> saving(m_saving, true);
    saveGraph();
}

void frmMain::saveGraph()
{
    const QString number = txt_picture_number->text();
    if (const QString problem = GraphFile::pictureNumberProblem(number); !problem.isEmpty()) {
        showError(QStringLiteral("The picture number \"%1\" cannot be part of a file name: %2.\n\n"
                                 "Nothing was saved. Enter a plain number such as 1, 2 or 3.")
                      .arg(number, problem));
        return;
    }
    try {
        // The next number is worked out first: a number too large to count on
        // from is refused before anything is written.
        const QString next = GraphFile::nextNumber(number);
        SaveFormImageToFile(this, Picture1, GraphFile::path(m_pictureFolder, number));
        txt_picture_number->setText(next);
    } catch (const RuntimeError &error) {
        if (error.kind() == ErrorKind::Overflow)
            showError(QStringLiteral("The picture number \"%1\" is too large to count on from.\n\n"
                                     "Nothing was saved. Enter a smaller number.")
                          .arg(number));
        else
            showError(error.message() + QStringLiteral("\n\nNothing was saved. Check that the folder "
                                                       "can be written to and try again."));
    }
}

void frmMain::SaveFormImageToFile(QWidget *window, PictureBox *buffer, const QString &path)
{
    const int height = qMin(window->height(), twipsToPixelsY(FormDesign::CaptureClientHeight));
    QImage picture(window->width(), height, QImage::Format_RGB32);
    window->render(&picture, QPoint(), QRegion(0, 0, window->width(), height),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    GraphFile::writeBitmap(picture, path);

    buffer->hide();
    buffer->resize(picture.size());
    buffer->setImage(picture);
}

void frmMain::Label5_Click(int Index)
{
    chooseColour(Label5[Index]);
}

void frmMain::Label6_Click()
{
    chooseColour(Label6);
}

void frmMain::chooseColour(FormLabel *swatch)
{
    // Cancelling the dialog changes nothing and says nothing.
    const QColor colour = QColorDialog::getColor(Qt::white, this);
    takeBackActivation();
    if (colour.isValid())
        swatch->SetBackColor(fromQColor(colour));
}

void frmMain::lblOtherColors_Click(int Index)
{
    Label5[1]->SetBackColor(lblOtherColors[Index]->BackColor());
}

void frmMain::showError(const QString &message)
{
    QMessageBox::warning(this, QStringLiteral("Plinthos"), message);
    takeBackActivation();
}

void frmMain::takeBackActivation()
{
    // Without a window manager nothing gives the window its activation back
    // when a modal dialog closes, and the buttons ignore clicks on a form
    // that is not active.
    if (isVisible() && !isActiveWindow())
        activateWindow();
}

void frmMain::CcXExit_Click()
{
    // Ends the program at once: no question, nothing saved, no Terminate.
    // main() then takes the window down, and the buttons' hooks go silently
    // as it starts to: nothing reaches the window or its controls any more.
    QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    for (ccXPButton *button : {CcXAddColumn, CcXClearGraph, CcXSaveGraph, CcXExit})
        button->Terminate();
    QWidget::closeEvent(event);
}
