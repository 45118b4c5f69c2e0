#include "frmmain.h"

#include "atomicfile.h"
#include "ccxpbutton.h"
#include "charteditor.h"
#include "colourpalette.h"
#include "colours.h"
#include "documentcontroller.h"
#include "fonts.h"
#include "formbuilder.h"
#include "formdesign.h"
#include "formdialogs.h"
#include "formlabel.h"
#include "formpicture.h"
#include "graphfile.h"
#include "jchart.h"
#include "numbers.h"
#include "picturebox.h"
#include "picturemenu.h"
#include "runtimeerror.h"
#include "savenotice.h"
#include "twips.h"
#include "windowicon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

#include <cerrno>
#include <functional>

#include <unistd.h>

namespace {

// The space around the notice that says where a picture went.
constexpr int NoticeGapTwips = 120;

// What Add Column and Save Graph tell the user when they store or save
// nothing: what went wrong and what to do.

QString valueDoesNotFitMessage(const QString &value)
{
    return QStringLiteral("The value \"%1\" does not fit in a column.\n\n"
                          "Enter a whole number from -32768 to 32767.")
        .arg(value);
}

QString chartIsFullMessage()
{
    return QStringLiteral("The chart holds at most %1 columns.\n\n"
                          "Press Clear Graph to start a new chart.")
        .arg(jChart::Capacity);
}

QString refusedNumberMessage(const QString &number, const QString &problem)
{
    return QStringLiteral("The picture number \"%1\" cannot be part of a file name: %2.\n\n"
                          "Nothing was saved. Enter a plain number such as 1, 2 or 3.")
        .arg(number, problem);
}

QString numberTooLargeMessage(const QString &number)
{
    return QStringLiteral("The picture number \"%1\" is too large to count on from.\n\n"
                          "Nothing was saved. Enter a smaller number.")
        .arg(number);
}

QString noFolderMessage(const QString &problem)
{
    return QStringLiteral("Save Graph cannot find the program's folder: %1.\n\n"
                          "Nothing was saved. To keep the picture, right-click the chart and choose "
                          "Save Picture As… to save it in a folder of your own.")
        .arg(problem);
}

QString failedSaveMessage(const AtomicFile::WriteError &error, const QByteArray &folder)
{
    if (error.problem() != AtomicFile::Problem::FolderNotWritable)
        return error.message() + QStringLiteral("\n\n") + AtomicFile::advice(error.problem(), QStringLiteral("picture number"));
    // Neither the program's folder nor the pictures folder takes the picture.
    return error.message() + QStringLiteral("\n\nThe folder %1 cannot be written to, so Save Graph cannot save there. "
                                            "Nothing was saved, there or anywhere else.\n\n"
                                            "To keep the picture, right-click the chart and choose Save Picture As… "
                                            "to save it in a folder of your own.")
                                 .arg(AtomicFile::displayPath(folder));
}

QString replaceQuestion(const QByteArray &path, const AtomicFile::Occupant &occupant, const QString &freeNumber)
{
    const QString question = freeNumber.isEmpty()
        ? QStringLiteral("Replace it with this picture?")
        : QStringLiteral("Replace it with this picture, or save this one as graph%1.bmp?").arg(freeNumber);
    return AtomicFile::describeOccupant(path, occupant) + QStringLiteral("\n\n") + question;
}

// A folder the user may not write to, or one on a read-only disk; a folder
// that is not there is no reason to save elsewhere.
bool cannotBeWritten(const QByteArray &folder)
{
    return ::access(folder.constData(), W_OK) != 0 && (errno == EACCES || errno == EPERM || errno == EROFS);
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    // The window's size is fixed: its title bar offers no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf16(FormDesign::Caption));
    setWindowIcon(QIcon(QPixmap::fromImage(WindowIcon::image())));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(FormDesign::BackColour));
    setPalette(colours);

    m_pictureFolder = GraphFile::programFolder(&m_folderProblem);
    m_resolution = Resolution::of(this);
    buildFromDesign();
    connectHandlers();
    auto *pictureMenu = new PictureMenu(this, m_chart, control<QWidget>(QStringLiteral("Frame1")));
    m_document = new DocumentController(this, m_chart,
                                        {control<QLineEdit>(QStringLiteral("txtMainHeading")),
                                         control<QLineEdit>(QStringLiteral("txtYAxisLabel")),
                                         control<QLineEdit>(QStringLiteral("txtXAxis"))},
                                        pictureMenu->menu());
    pictureMenu->setDocumentSource([this] { return m_document->document(); });
    addKeyboardShortcuts(pictureMenu->menu());
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
    for (int i = 0; i < ColourPalette::Size; ++i)
        builder.build(FormDesign::paletteCell(i), frame);
    builder.applyFocusOrder();

    m_valueBox = control<QLineEdit>(QStringLiteral("Text1"));
    m_labelBox = control<QLineEdit>(QStringLiteral("Text2"));
    m_pictureNumberBox = control<QLineEdit>(QStringLiteral("txt_picture_number"));
    m_chart = control<jChart>(QStringLiteral("UserControl11"));
    m_captureBuffer = control<PictureBox>(QStringLiteral("Picture1"));
    m_labelColourSwatch = control<FormLabel>(QStringLiteral("Label5(0)"));
    m_columnColourSwatch = control<FormLabel>(QStringLiteral("Label5(1)"));
    m_columnColourCaption = control<FormLabel>(QStringLiteral("Label6"));
    for (int i = 0; i < int(m_palette.size()); ++i)
        m_palette[i] = control<FormLabel>(QStringLiteral("lblOtherColors(%1)").arg(i));
    m_labelColourSwatch->setSwatch(QStringLiteral("Label colour"));
    m_columnColourSwatch->setSwatch(QStringLiteral("Column colour"));
    for (FormLabel *cell : m_palette)
        cell->setSwatch();

    m_addColumnButton = control<ccXPButton>(QStringLiteral("CcXAddColumn"));
    m_clearGraphButton = control<ccXPButton>(QStringLiteral("CcXClearGraph"));
    m_saveGraphButton = control<ccXPButton>(QStringLiteral("CcXSaveGraph"));
    m_exitButton = control<ccXPButton>(QStringLiteral("CcXExit"));
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
    for (int i = 0; i < ColourPalette::Size; ++i) {
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
    connect(m_addColumnButton, &ccXPButton::Click, this, &frmMain::addColumn);
    connect(m_clearGraphButton, &ccXPButton::Click, this, &frmMain::clearGraph);
    connect(m_saveGraphButton, &ccXPButton::Click, this, &frmMain::saveGraph);
    connect(m_exitButton, &ccXPButton::Click, this, &frmMain::exitProgram);
    for (FormLabel *label : {m_labelColourSwatch, m_columnColourSwatch, m_columnColourCaption})
        connect(label, &FormLabel::Click, this, [this, label] { chooseColour(label); });
    for (int i = 0; i < int(m_palette.size()); ++i)
        connect(m_palette[i], &FormLabel::Click, this, [this, i] { pickPaletteColour(i); });
}

// The swatches and the chart hold no place in the Tab order, and the design
// has no access keys: these keys reach them from anywhere in the window. The
// chart's menu lists them, and screen readers tell them with the control.
void frmMain::addKeyboardShortcuts(QMenu *menu)
{
    struct Shortcut
    {
        QString text;
        QKeyCombination keys;
        QWidget *target;
        QString purpose;
        std::function<void()> run;
    };
    const Shortcut shortcuts[] = {
        {QStringLiteral("&Label Color…"), Qt::CTRL | Qt::SHIFT | Qt::Key_L, m_labelColourSwatch,
         QStringLiteral("chooses the label colour"), [this] { chooseColour(m_labelColourSwatch); }},
        {QStringLiteral("Colum&n Color…"), Qt::CTRL | Qt::SHIFT | Qt::Key_N, m_columnColourSwatch,
         QStringLiteral("chooses the column colour"), [this] { chooseColour(m_columnColourSwatch); }},
        {QStringLiteral("&Go to the Chart"), Qt::CTRL | Qt::SHIFT | Qt::Key_G, m_chart,
         QStringLiteral("gives the chart the focus; Shift+F10 then opens its menu"),
         [this] { m_chart->setFocus(Qt::ShortcutFocusReason); }},
    };
    menu->addSeparator();
    for (const Shortcut &shortcut : shortcuts) {
        QAction *action = menu->addAction(shortcut.text, this, shortcut.run);
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        shortcut.target->setAccessibleDescription(action->shortcut().toString(QKeySequence::NativeText) + u' '
                                                  + shortcut.purpose);
    }
}

// The window opens centred on the part of its screen that panels leave
// free. Where it is larger than that, its top-left corner stays on it, so
// that the heading, the scale and the Y axis title are on the screen.
void frmMain::centreOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame's size, once the window system has told it; move() places
    // the frame's corner.
    const QSize outer = frameGeometry().size();
    move(available.left() + qMax(0, (available.width() - outer.width()) / 2),
         available.top() + qMax(0, (available.height() - outer.height()) / 2));
}

void frmMain::addColumn()
{
    const QString label = m_labelBox->text();
    std::int16_t value = 0;
    try {
        value = toInt16(scanNumber(m_valueBox->text()));
    } catch (const RuntimeError &) {
        FormDialogs::showError(this, valueDoesNotFitMessage(m_valueBox->text()));
        return;
    }
    try {
        m_document->editor()->addColumn({label, value, m_columnColourSwatch->BackColor(), m_labelColourSwatch->BackColor()});
    } catch (const RuntimeError &error) {
        FormDialogs::showError(this, error.kind() == ErrorKind::IndexOutOfRange ? chartIsFullMessage() : error.message());
    }
}

void frmMain::clearGraph()
{
    m_document->editor()->clearGraph();
}

void frmMain::saveGraph()
{
    // The error box of a failed save runs an event loop; a click that arrives
    // there must not start a second save inside this one.
    if (m_saving)
        return;
    const QScopedValueRollback<bool> saving(m_saving, true);
    writeGraphFile();
}

void frmMain::setPictureFolder(const QString &folder)
{
    m_pictureFolder = QFile::encodeName(folder);
}

void frmMain::writeGraphFile()
{
    QString number = m_pictureNumberBox->text();
    QString next;
    const QByteArray folder = graphFolder();
    if (!mayBeSaved(number, folder, &next) || !mayReplace(folder, &number, &next))
        return;
    const QByteArray path = GraphFile::path(folder, number);
    try {
        FormPicture::saveToFile(this, m_captureBuffer, path);
    } catch (const AtomicFile::WriteError &error) {
        FormDialogs::showError(this, failedSaveMessage(error, folder));
        return;
    } catch (const RuntimeError &error) {
        FormDialogs::showError(this, error.message() + QStringLiteral("\n\nNothing was saved."));
        return;
    }
    m_pictureNumberBox->setText(next);
    tellWhereTheGraphWent(path, folder);
}

// Each refusal comes before anything is written: a number unfit for a file
// name or too large to count on from, a picture too large to make, no folder.
bool frmMain::mayBeSaved(const QString &number, const QByteArray &folder, QString *next)
{
    const auto refuse = [this](const QString &message) {
        FormDialogs::showError(this, message);
        return false;
    };
    if (const QString problem = GraphFile::pictureNumberProblem(number); !problem.isEmpty())
        return refuse(refusedNumberMessage(number, problem));
    try {
        *next = GraphFile::nextNumber(number);
    } catch (const RuntimeError &) {
        return refuse(numberTooLargeMessage(number));
    }
    try {
        FormPicture::verifySize(this);
    } catch (const RuntimeError &error) {
        return refuse(error.message() + QStringLiteral("\n\nNothing was saved."));
    }
    if (folder.isEmpty())
        return refuse(noFolderMessage(m_folderProblem));
    return true;
}

// The program's folder, or the user's pictures folder when the program's
// cannot be written to (a program installed for everyone).
QByteArray frmMain::graphFolder() const
{
    if (m_pictureFolder.isEmpty() || !cannotBeWritten(m_pictureFolder))
        return m_pictureFolder;
    return QFile::encodeName(PictureMenu::picturesFolder());
}

// Asks before anything at the graph's path is replaced, offering the next
// free number; takes that number when the user chooses it. False when the
// user cancels. A folder in the way is left to the write, which says so.
bool frmMain::mayReplace(const QByteArray &folder, QString *number, QString *next)
{
    const QByteArray path = GraphFile::path(folder, *number);
    const AtomicFile::Occupant occupant = AtomicFile::occupant(path);
    if (occupant.kind == AtomicFile::Occupant::Nothing || occupant.kind == AtomicFile::Occupant::Folder)
        return true;
    const QString free = GraphFile::nextFreeNumber(folder, *number);
    QStringList choices = {QStringLiteral("&Replace")};
    if (!free.isEmpty())
        choices << QStringLiteral("&Save as graph%1.bmp").arg(free);
    choices << QStringLiteral("Cancel");
    // Return takes the choice that loses nothing.
    const int answer = FormDialogs::choose(this, replaceQuestion(path, occupant, free), choices, 1);
    if (answer == choices.size() - 1)
        return false;
    if (answer == 1) {
        *number = free;
        *next = GraphFile::nextNumber(free);
    }
    return true;
}

void frmMain::tellWhereTheGraphWent(const QByteArray &path, const QByteArray &folder)
{
    QString text = QStringLiteral("Saved %1").arg(AtomicFile::displayPath(path));
    if (folder != m_pictureFolder && !m_toldOfPicturesFolder) {
        m_toldOfPicturesFolder = true;
        text += QStringLiteral(": the program's folder %1 cannot be written to, so Save Graph saves in %2.")
                    .arg(AtomicFile::displayPath(m_pictureFolder), AtomicFile::displayPath(folder));
    }
    if (!m_saveNotice)
        m_saveNotice = new SaveNotice(this);
    // Beside the controls frame, below the picture's part of the window.
    const QRect frame = control<QWidget>(QStringLiteral("Frame1"))->geometry();
    const int gap = m_resolution.toLogicalX(NoticeGapTwips);
    m_saveNotice->showText(text, QRect(QPoint(frame.right() + 1 + gap, frame.top()),
                                       QPoint(width() - 1 - gap, height() - 1 - gap)));
}

void frmMain::SaveFormImageToFile(QWidget *window, PictureBox *buffer, const QString &path)
{
    FormPicture::saveToFile(window, buffer, QFile::encodeName(path));
}

void frmMain::chooseColour(FormLabel *label)
{
    // The dialog opens on the colour it last gave, whichever label asked for
    // it. Cancelling changes nothing and says nothing.
    const QColor colour = QColorDialog::getColor(toQColor(m_dialogColour), this);
    FormDialogs::takeBackActivation(this);
    if (!colour.isValid())
        return;
    m_dialogColour = fromQColor(colour);
    label->SetBackColor(m_dialogColour);
}

void frmMain::pickPaletteColour(int index)
{
    m_columnColourSwatch->SetBackColor(m_palette[index]->BackColor());
}

void frmMain::exitProgram()
{
    // Unsaved changes are saved or given up first. Then the program ends at
    // once, with no Terminate: main() takes the window down, and the
    // buttons' hooks go silently as it starts to: nothing reaches the window
    // or its controls any more.
    if (!m_document->maybeKeepChanges())
        return;
    QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_document->maybeKeepChanges()) {
        event->ignore();
        return;
    }
    for (ccXPButton *button : {m_addColumnButton, m_clearGraphButton, m_saveGraphButton, m_exitButton})
        button->Terminate();
    QWidget::closeEvent(event);
}
