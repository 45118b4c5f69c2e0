#include "ccxpbutton.h"
#include "designfonts.h"
#include "formlabel.h"
#include "frmmain.h"
#include "jchart.h"
#include "picturebox.h"

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void startTexts();
    void controlPlaces_data();
    void controlPlaces();
    void scaleLabelsAreWhiteOnTheWindow();
    void fonts_data();
    void fonts();
    void buttonsRestoredFromTheirBags_data();
    void buttonsRestoredFromTheirBags();
    void swatchesAndPalette_data();
    void swatchesAndPalette();
    void renderedColours_data();
    void renderedColours();
    void focusOrder();
    void icon_data();
    void icon();
    void endingTheProgram_data();
    void endingTheProgram();

private:
    template<typename T>
    T *control(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    std::unique_ptr<frmMain> m_window;
};

void tst_frmMain::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
}

void tst_frmMain::init()
{
    m_window = std::make_unique<frmMain>();
    m_window->setPictureFolder(QStringLiteral("/nonexistent"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_frmMain::cleanup()
{
    m_window.reset();
}

void tst_frmMain::window()
{
    // As the title bar shows it: no unsaved changes, so no mark.
    QCOMPARE(m_window->windowHandle()->title(), QStringLiteral("   The Plinthos"));
    QCOMPARE(m_window->size(), QSize(1131, 644));
    QCOMPARE(m_window->minimumSize(), QSize(1131, 644));
    QCOMPARE(m_window->maximumSize(), QSize(1131, 644));
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(255, 255, 255));
    // Fixed in size, so no maximize button.
    const Qt::WindowFlags buttons = Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    QCOMPARE(m_window->windowFlags() & (buttons | Qt::WindowMaximizeButtonHint), buttons);

    const QRect screen = m_window->screen()->geometry();
    QVERIFY(qAbs(m_window->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(m_window->geometry().center().y() - screen.center().y()) <= 1);
}

void tst_frmMain::startTexts()
{
    const QString heading = control<QLineEdit>("txtMainHeading")->text();
    QCOMPARE(heading, QStringLiteral("T h e       M a i n      H e a d i n g     F o r     T h e      G r a p h"));
    QCOMPARE(heading.size(), 73);
    QCOMPARE(control<QLineEdit>("txtYAxisLabel")->text(), QStringLiteral("Y Axis "));
    QCOMPARE(control<QLineEdit>("txtXAxis")->text(), QStringLiteral("X Axis "));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("Value "));
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("50"));
    QCOMPARE(control<QLineEdit>("txt_picture_number")->text(), QStringLiteral("1"));
    QCOMPARE(control<FormLabel>("Label1")->text(), QStringLiteral("Column Value") + QString(23, u' ') + u'%');
    QCOMPARE(control<QGroupBox>("Frame1")->title(), QStringLiteral("The Main Controls"));
    QCOMPARE(control<jChart>("UserControl11")->ItemCount(), 0);
    QCOMPARE(control<jChart>("UserControl11")->BackColor(), 0x00FFFFFFu);
    QVERIFY(!control<PictureBox>("Picture1")->isVisible());
    QCOMPARE(control<PictureBox>("Picture1")->BackColor(), SystemColour::Window);
    QCOMPARE(control<PictureBox>("Picture1")->ForeColor(), SystemColour::WindowText);

    for (const char *name : {"txtMainHeading", "txtYAxisLabel", "txtXAxis"})
        QVERIFY2(!control<QLineEdit>(name)->hasFrame(), name);
    for (const char *name : {"Text1", "Text2", "txt_picture_number"})
        QVERIFY2(control<QLineEdit>(name)->hasFrame(), name);
    QCOMPARE(control<QLineEdit>("Text1")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(control<QLineEdit>("txt_picture_number")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(control<QLineEdit>("Text2")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

void tst_frmMain::controlPlaces_data()
{
    // Pixel places at 96 dpi (15 twips a pixel); inside Frame1 relative to
    // the frame.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("heading") << "txtMainHeading" << QRect(72, 8, 1017, 41);
    QTest::newRow("y axis title") << "txtYAxisLabel" << QRect(32, 56, 385, 25);
    QTest::newRow("chart") << "UserControl11" << QRect(72, 96, 1022, 329);
    QTest::newRow("x axis title") << "txtXAxis" << QRect(376, 472, 481, 25);
    QTest::newRow("frame") << "Frame1" << QRect(64, 520, 717, 109);
    QTest::newRow("label shape") << "labelShape" << QRect(16, 16, 153, 81);
    QTest::newRow("column shape") << "ColumnShape" << QRect(176, 16, 169, 81);
    QTest::newRow("label text box") << "Text2" << QRect(96, 30, 65, 19);
    QTest::newRow("value box") << "Text1" << QRect(264, 32, 41, 19);
    QTest::newRow("label colour swatch") << "Label5(0)" << QRect(96, 72, 66, 15);
    QTest::newRow("column colour swatch") << "Label5(1)" << QRect(184, 72, 65, 16);
    QTest::newRow("palette 0, lower row") << "lblOtherColors(0)" << QRect(264, 80, 9, 9);
    QTest::newRow("palette 7, lower row") << "lblOtherColors(7)" << QRect(320, 80, 9, 9);
    QTest::newRow("palette 8, upper row") << "lblOtherColors(8)" << QRect(264, 64, 9, 9);
    QTest::newRow("palette 13, upper row") << "lblOtherColors(13)" << QRect(304, 64, 9, 9);
    QTest::newRow("add column") << "CcXAddColumn" << QRect(360, 16, 89, 81);
    QTest::newRow("save graph") << "CcXSaveGraph" << QRect(464, 16, 81, 33);
    QTest::newRow("clear graph") << "CcXClearGraph" << QRect(464, 64, 81, 33);
    QTest::newRow("picture number") << "txt_picture_number" << QRect(552, 16, 41, 31);
    QTest::newRow("exit") << "CcXExit" << QRect(616, 16, 89, 81);
    QTest::newRow("label 100 sized to its text") << "Label3" << QRect(48, 88, 18, 13);
    QTest::newRow("label 0 sized to its text") << "Label2" << QRect(56, 416, 6, 13);
}

void tst_frmMain::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    const QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void tst_frmMain::scaleLabelsAreWhiteOnTheWindow()
{
    const QList<QPair<const char *, QString>> labels = {
        {"Label3", "100"}, {"lbl_75", "75"}, {"lbl", "50"}, {"lbl_25", "25"}, {"Label2", "0"}};
    int previousTop = 0;
    for (const auto &[name, text] : labels) {
        const auto *label = control<FormLabel>(name);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->parentWidget(), m_window.get());
        QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 255, 255));
        QVERIFY2(label->y() > previousTop, name);
        QVERIFY2(label->geometry().right() < control<jChart>("UserControl11")->x(), name);
        previousTop = label->y();
    }
}

void tst_frmMain::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points"); // or, for the bitmap face, -pixels
    QTest::newRow("heading") << "txtMainHeading" << "Tahoma" << 24.0;
    QTest::newRow("y axis title") << "txtYAxisLabel" << "Tahoma" << 15.75;
    QTest::newRow("x axis title") << "txtXAxis" << "Tahoma" << 15.75;
    QTest::newRow("picture number") << "txt_picture_number" << "Tahoma" << 14.25;
    QTest::newRow("value box") << "Text1" << "Tahoma" << 8.25;
    QTest::newRow("caption of the label box") << "Label4" << "Tahoma" << 8.25;
    QTest::newRow("scale label uses the default font") << "Label3" << "MS Sans Serif" << -13.0;
    QTest::newRow("frame uses the default font") << "Frame1" << "MS Sans Serif" << -13.0;
}

void tst_frmMain::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(double, points);
    const QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->font().family(), family);
    if (points > 0)
        QCOMPARE(widget->font().pointSizeF(), points);
    else
        QCOMPARE(widget->font().pixelSize(), int(-points));
    QCOMPARE(widget->font().weight(), QFont::Normal);
    QVERIFY(!widget->font().italic());
}

void tst_frmMain::buttonsRestoredFromTheirBags_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("points"); // or, for the bitmap face, -pixels
    QTest::newRow("add column") << "CcXAddColumn" << "Add Column" << 9.75;
    QTest::newRow("save graph") << "CcXSaveGraph" << "Save Graph" << 8.25;
    QTest::newRow("clear graph") << "CcXClearGraph" << "Clear Graph" << 8.25;
    QTest::newRow("exit") << "CcXExit" << "Exit" << 15.75;
}

void tst_frmMain::buttonsRestoredFromTheirBags()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(double, points);
    const auto *button = m_window->findChild<ccXPButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->Caption(), caption);
    QVERIFY(button->Font());
    QCOMPARE(button->Font()->name(), QStringLiteral("Verdana"));
    QCOMPARE(button->Font()->size(), points);
    QCOMPARE(button->Font()->weight(), 400);
    QCOMPARE(button->parentWidget(), control<QGroupBox>("Frame1"));
}

void tst_frmMain::swatchesAndPalette_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("colour");
    QTest::newRow("label colour swatch is black") << "Label5(0)" << 0x000000u;
    QTest::newRow("column colour swatch is light grey") << "Label5(1)" << 0xE0E0E0u;
    const uint palette[] = {0xE0E0E0, 0x80C0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0x0080FF, 0xFF0000, 0xFF80FF,
                            0x00FFFF, 0x855475, 0xFFFF00, 0x00FF00, 0x0000FF, 0x808080, 0xFF00FF, 0xFFC0C0};
    for (int i = 0; i < 16; ++i) {
        const QString name = QStringLiteral("lblOtherColors(%1)").arg(i);
        QTest::newRow(qPrintable(QStringLiteral("palette cell %1").arg(i))) << name << palette[i];
    }
}

void tst_frmMain::swatchesAndPalette()
{
    QFETCH(QString, name);
    QFETCH(uint, colour);
    const auto *cell = m_window->findChild<FormLabel *>(name);
    QVERIFY(cell);
    QCOMPARE(cell->BackColor(), OleColor(colour));
    QVERIFY(cell->text().isEmpty());
    QCOMPARE(cell->frameShape(), QFrame::Box);
}

void tst_frmMain::renderedColours_data()
{
    // Window pixels; the frame's children are offset by the frame's (64, 520).
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("window background") << QPoint(1110, 300) << QColor(255, 255, 255);
    QTest::newRow("frame background") << QPoint(64 + 8, 520 + 100) << QColor(192, 192, 255);
    QTest::newRow("frame background between the groups") << QPoint(64 + 172, 520 + 50) << QColor(192, 192, 255);
    QTest::newRow("label shape") << QPoint(64 + 20, 520 + 60) << QColor(128, 128, 255);
    QTest::newRow("label shape border") << QPoint(64 + 16, 520 + 60) << QColor(0, 0, 0);
    QTest::newRow("column shape") << QPoint(64 + 250, 520 + 25) << QColor(128, 128, 255);
    QTest::newRow("label colour swatch") << QPoint(64 + 128, 520 + 79) << QColor(0, 0, 0);
    QTest::newRow("column colour swatch") << QPoint(64 + 216, 520 + 80) << QColor(224, 224, 224);
    QTest::newRow("column colour swatch border") << QPoint(64 + 184, 520 + 80) << QColor(0, 0, 0);
    QTest::newRow("palette 12 is red") << QPoint(64 + 296 + 4, 520 + 64 + 4) << QColor(255, 0, 0);
    QTest::newRow("palette 6 is blue") << QPoint(64 + 312 + 4, 520 + 80 + 4) << QColor(0, 0, 255);
    QTest::newRow("palette 9 is dull purple") << QPoint(64 + 272 + 4, 520 + 64 + 4) << QColor(117, 84, 133);
    QTest::newRow("chart border, top left") << QPoint(72, 96) << QColor(0, 0, 0);
    QTest::newRow("chart border, bottom right") << QPoint(72 + 1021, 96 + 328) << QColor(0, 0, 0);
    QTest::newRow("empty chart inside its border") << QPoint(73, 97) << QColor(255, 255, 255);
    QTest::newRow("right of the chart") << QPoint(72 + 1022, 200) << QColor(255, 255, 255);
    QTest::newRow("overlapping palette border") << QPoint(64 + 272, 520 + 84) << QColor(0, 0, 0);
}

void tst_frmMain::renderedColours()
{
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    const QImage image = m_window->grab().toImage();
    QCOMPARE(image.pixelColor(pixel), colour);
}

void tst_frmMain::focusOrder()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    control<QLineEdit>("Text2")->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), control<QLineEdit>("Text2"));

    const QStringList expected = {"Text1", "CcXAddColumn", "CcXClearGraph", "CcXSaveGraph", "txtMainHeading",
                                  "txtYAxisLabel", "txt_picture_number", "txtXAxis", "CcXExit", "Text2"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
    // Tab passes the chart and the swatches by; keys, which the chart's menu
    // lists, reach them.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), control<jChart>("UserControl11"));
    QStringList listed;
    for (const QAction *entry : m_window->findChild<QMenu *>()->actions())
        listed << entry->shortcut().toString();
    QCOMPARE(listed.mid(listed.size() - 3), (QStringList{"Ctrl+Shift+L", "Ctrl+Shift+N", "Ctrl+Shift+G"}));
}

void tst_frmMain::icon_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("top edge light grey") << QPoint(15, 0) << QColor(Qt::lightGray);
    QTest::newRow("left edge light grey") << QPoint(1, 15) << QColor(Qt::lightGray);
    QTest::newRow("right edge dark grey") << QPoint(31, 15) << QColor(Qt::darkGray);
    QTest::newRow("bottom edge dark grey") << QPoint(15, 30) << QColor(Qt::darkGray);
    QTest::newRow("yellow frame top") << QPoint(15, 2) << QColor(Qt::yellow);
    QTest::newRow("yellow frame bottom") << QPoint(15, 29) << QColor(Qt::yellow);
    QTest::newRow("cyan field") << QPoint(5, 5) << QColor(Qt::cyan);
    QTest::newRow("red bar foot") << QPoint(4, 28) << QColor(Qt::red);
    QTest::newRow("red bar top, 15 high") << QPoint(9, 14) << QColor(Qt::red);
    QTest::newRow("above the red bar") << QPoint(9, 13) << QColor(Qt::cyan);
    QTest::newRow("gap of 3") << QPoint(12, 28) << QColor(Qt::cyan);
    QTest::newRow("magenta bar top, 23 high") << QPoint(13, 6) << QColor(Qt::magenta);
    QTest::newRow("above the magenta bar") << QPoint(13, 5) << QColor(Qt::cyan);
    QTest::newRow("navy bar top, 10 high") << QPoint(27, 19) << QColor(Qt::darkBlue);
    QTest::newRow("above the navy bar") << QPoint(27, 18) << QColor(Qt::cyan);
}

void tst_frmMain::icon()
{
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    const QImage image = m_window->windowIcon().pixmap(32, 32).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.pixelColor(pixel), colour);
}

void tst_frmMain::endingTheProgram_data()
{
    QTest::addColumn<bool>("exit");
    QTest::newRow("Exit: no notification after it, no Terminate") << true;
    QTest::newRow("closing from the title bar terminates the buttons") << false;
}

// The window is active and a button has the focus, so that taking the window
// down deactivates it, as at the end of main().
void tst_frmMain::endingTheProgram()
{
    QFETCH(bool, exit);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const QList<ccXPButton *> buttons = m_window->findChildren<ccXPButton *>();
    QCOMPARE(buttons.size(), 4);
    QStringList raised;
    const QObject receiver;
    for (ccXPButton *button : buttons) {
        const QString name = button->objectName();
        connect(button, &ccXPButton::Click, &receiver, [&raised, name] { raised.append(name + QStringLiteral(" Click")); });
        connect(button, &ccXPButton::DblClick, &receiver, [&raised, name] { raised.append(name + QStringLiteral(" DblClick")); });
        connect(button, &ccXPButton::MouseMove, &receiver, [&raised, name] { raised.append(name + QStringLiteral(" MouseMove")); });
        connect(button, &ccXPButton::FormActivate, &receiver,
                [&raised, name](int state) { raised.append(name + QStringLiteral(" FormActivate %1").arg(state)); });
    }
    auto *exitButton = control<ccXPButton>("CcXExit");
    exitButton->setFocus();

    if (exit) {
        QEventLoop loop;
        QTimer::singleShot(0, exitButton, [exitButton] {
            QTest::mouseMove(exitButton);
            QTest::mouseClick(exitButton, Qt::LeftButton);
        });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(raised.last(), QStringLiteral("CcXExit Click"));
    } else {
        QVERIFY(m_window->windowHandle()->close());
    }
    for (const ccXPButton *button : buttons) {
        // Terminate lets go of the font and frees the hooks.
        QCOMPARE(!button->Font(), !exit);
        for (const HookRecord &hook : button->hook().records())
            QCOMPARE(hook.window == 0, !exit);
    }
    const QStringList atTheEnd = raised;
    m_window.reset();
    QCOMPARE(raised, atTheEnd);
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
