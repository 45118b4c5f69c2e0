#include "frmmain.h"

#include "ccxpbutton.h"
#include "colours.h"
#include "fonts.h"
#include "formbuilder.h"
#include "formdesign.h"
#include "formlabel.h"
#include "graphfile.h"
#include "jchart.h"
#include "numbers.h"
#include "picturebox.h"
#include "picturemenu.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

#include <cmath>

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf16(FormDesign::Caption));
    setWindowIcon(QIcon(QPixmap::fromImage(FormDesign::iconImage())));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(FormDesign::BackColour));
    setPalette(colours);

    m_pictureFolder = QCoreApplication::applicationDirPath();
    m_resolution = Resolution::of(this);
    buildFromDesign();
    connectHandlers();
    new PictureMenu(this, UserControl11, control<QWidget>(QStringLiteral("Frame1")));
    centreOnScreen();

    // A screen that changes its scale while the window is on it (on Wayland,
    // when the user changes the display's scaling) says so only through its
    // own signals, once all of its new properties are in place.
    const auto watch = [this](QScreen *screen) {
        connect(screen, &QScreen::geometryChanged, this, &frmMain::followScreenScale, Qt::QueuedConnection);
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, &frmMain::followScreenScale,
                Qt::QueuedConnection);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, watch);
}

template<typename T>
T *frmMain::control(const QString &name) const
{
    T *widget = findChild<T *>(name);
    Q_ASSERT_X(widget, "frmMain", qPrintable(name));
    return widget;
}

QSize frmMain::clientSize() const
{
    return {m_resolution.toLogicalX(FormDesign::ClientWidth), m_resolution.toLogicalY(FormDesign::ClientHeight)};
}

void frmMain::buildFromDesign()
{
    setFixedSize(clientSize());
    FormBuilder builder(this, m_resolution);
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

// Places and sizes every control again, from the same design tables, at the
// window's current resolution.
void frmMain::applyLayout()
{
    setFixedSize(clientSize());
    const FormBuilder builder(this, m_resolution);
    for (const auto &table : {FormDesign::formControls(), FormDesign::frameControls()}) {
        for (const ControlDesign &design : table)
            builder.place(design, control<QWidget>(FormBuilder::objectName(design)));
    }
    for (int i = 0; i < FormDesign::PaletteSize; ++i) {
        const ControlDesign cell = FormDesign::paletteCell(i);
        builder.place(cell, control<QWidget>(FormBuilder::objectName(cell)));
    }
}

// A window shown on a screen of another resolution than the one it was laid
// out for is laid out and painted again; whether that happened is the result.
bool frmMain::followScreen()
{
    const Resolution current = Resolution::of(this);
    // Dialogs and menus take the application's font, at the window's resolution.
    if (const QFont font = toolkitControlFont(current); QApplication::font() != font)
        QApplication::setFont(font);
    if (current == m_resolution)
        return false;
    m_resolution = current;
    applyLayout();
    update();
    return true;
}

// Qt 6.4's Wayland window keeps the scale it was made with when the scale of
// its output changes (it takes a new one only on moving to another output).
// Made again, it takes its screen's: then the window is laid out and painted
// for the new scale, exactly as one started there. The controls keep all
// they hold; only the native window is new.
void frmMain::followScreenScale()
{
    const double windowRatio = windowHandle() ? windowHandle()->devicePixelRatio() : 0;
    const bool keptOldScale = windowHandle() && windowHandle()->handle() && isVisible()
        && windowRatio == m_resolution.pixelRatio() && windowRatio != screen()->devicePixelRatio();
    if (!followScreen() || !keptOldScale)
        return;
    hide();
    windowHandle()->destroy();
    show();
}

bool frmMain::event(QEvent *event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        followScreen();
    return QWidget::event(event);
}

void frmMain::showEvent(QShowEvent *event)
{
    // The window opens centred on the screen it is on, laid out for it.
    if (!m_shown) {
        m_shown = true;
        followScreen();
        centreOnScreen();
    }
    QWidget::showEvent(event);
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
        else if (const QFileInfo folder(m_pictureFolder); folder.isDir() && !folder.isWritable())
            showError(error.message() + QStringLiteral("\n\n") + PictureMenu::unwritableFolderAdvice(m_pictureFolder));
        else
            showError(error.message() + QStringLiteral("\n\nNothing was saved. Check that the folder "
                                                       "can be written to and try again."));
    }
}

QRect frmMain::captureArea(QWidget *window)
{
    // The logical pixels that cover the picture's device pixels.
    const Resolution resolution = Resolution::of(window);
    const auto height = int(std::ceil(resolution.toPixelsY(FormDesign::CaptureClientHeight) / resolution.pixelRatio()));
    return QRect(0, 0, window->width(), qMin(window->height(), height));
}

QImage frmMain::captureFormImage(QWidget *window)
{
    // In the device pixels of the window's screen, drawn as the screen shows
    // them: text in points at the size it has there.
    const Resolution resolution = Resolution::of(window);
    const QRect area = captureArea(window);
    QSize size = resolution.toDevicePixels(area.size());
    size.setHeight(qMin(size.height(), resolution.toPixelsY(FormDesign::CaptureClientHeight)));
    QImage picture(size, QImage::Format_RGB32);
    resolution.applyTo(picture);
    window->render(&picture, QPoint(), QRegion(area), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    // From here on a plain picture of device pixels at the device dpi.
    resolution.inDevicePixels().applyTo(picture);
    return picture;
}

void frmMain::SaveFormImageToFile(QWidget *window, PictureBox *buffer, const QString &path)
{
    const QImage picture = captureFormImage(window);
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
    // The dialog opens on the colour it last gave, whichever label asked for
    // it. Cancelling changes nothing and says nothing.
    const QColor colour = QColorDialog::getColor(toQColor(m_dialogColour), this);
    takeBackActivation();
    if (!colour.isValid())
        return;
    m_dialogColour = fromQColor(colour);
    swatch->SetBackColor(m_dialogColour);
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
