#include "buttontesthost.h"
#include "fonts.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

namespace {

// A site whose ambient DisplayAsDefault can change without a notification.
class QuietDefaultSite : public FormSite
{
public:
    using FormSite::FormSite;
    bool displayAsDefault() const override { return quietDefault; }
    bool quietDefault = false;
};

} // namespace

class tst_ButtonInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clickReleasedInside();
    void clickReleasedOutside();
    void rightButtonChangesNothing();
    void leftDoubleClick();
    void spaceIsIgnoredWhileTheMouseIsDown();
    void mouseIsIgnoredWhileSpaceIsHeld();
    void spaceReleasedDuringAMousePressDoesNotStick();
    void enterRaisesClickAtOnce();
    void arrowsMoveTheFocus_data();
    void arrowsMoveTheFocus();
    void accessKey();
    void accessKeyCancelsAHeldSpace();
    void boundsAreInclusive_data();
    void boundsAreInclusive();
    void movesWhileTheFormIsInactive();
    void deactivationEndsAPressWithoutClick();
    void formActivate_data();
    void formActivate();
    void lostFocusLook_data();
    void lostFocusLook();
    void ambientChangeRepaintsOnlyForDisplayAsDefault();
    void enabledUnderThePointer();
    void mouseMoveIsPassedOn();
    void throwingClickHandlerDoesNotStopTheButton();

private:
    void showAndActivate();
    void deactivate();
    void moveTo(QPointF position, Qt::MouseButtons held = Qt::NoButton);

    ButtonTestHost *m_host = nullptr;
    QLineEdit *m_before = nullptr;
    ccXPButton *m_button = nullptr;
    QLineEdit *m_after = nullptr;
    QWidget *m_other = nullptr;
    QSignalSpy *m_clicks = nullptr;
};

void tst_ButtonInput::initTestCase()
{
    installDesignFonts();
}

void tst_ButtonInput::init()
{
    // Away from every window, so that no test starts with the pointer over the button.
    QCursor::setPos(790, 790);
    m_host = new ButtonTestHost;
    m_host->move(0, 0);
    m_before = new QLineEdit(m_host);
    m_before->setGeometry(10, 10, 100, 20);
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("Save &Graph"));
    m_button = m_host->addButton(QStringLiteral("CcXSaveGraph"), QRect(10, 50, 81, 33), bag);
    m_after = new QLineEdit(m_host);
    m_after->setGeometry(10, 100, 100, 20);
    m_clicks = new QSignalSpy(m_button, &ccXPButton::Click);
}

void tst_ButtonInput::cleanup()
{
    delete m_clicks;
    delete m_host;
    delete m_other;
    m_other = nullptr;
}

void tst_ButtonInput::showAndActivate()
{
    m_host->show();
    m_host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
}

// Makes another window active, so that the form becomes inactive.
void tst_ButtonInput::deactivate()
{
    if (!m_other) {
        m_other = new QWidget;
        m_other->setGeometry(500, 500, 50, 50);
    }
    m_other->show();
    m_other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_other));
    QTRY_VERIFY(!m_host->isActiveWindow());
}

// A move as the window system reports it to the button, also outside it (as
// while a mouse button is held).
void tst_ButtonInput::moveTo(QPointF position, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, position, m_button->mapToGlobal(position), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(m_button, &move);
}

void tst_ButtonInput::clickReleasedInside()
{
    showAndActivate();
    QTest::mouseMove(m_button, QPoint(40, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    QVERIFY(m_button->hasFocus());
    QCOMPARE(m_clicks->size(), 0);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(42, 17));
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
}

void tst_ButtonInput::clickReleasedOutside()
{
    showAndActivate();
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    moveTo(QPointF(120, 16), Qt::LeftButton);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    moveTo(QPointF(40, 16), Qt::LeftButton);
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    moveTo(QPointF(40, -10), Qt::LeftButton);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(40, -10));
    QCOMPARE(m_clicks->size(), 0);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
}

void tst_ButtonInput::rightButtonChangesNothing()
{
    showAndActivate();
    QTest::mouseMove(m_button, QPoint(40, 16));
    QSignalSpy doubleClicks(m_button, &ccXPButton::DblClick);
    QTest::mousePress(m_button, Qt::RightButton, {}, QPoint(40, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    QTest::mouseRelease(m_button, Qt::RightButton, {}, QPoint(40, 16));
    QTest::mouseDClick(m_button, Qt::RightButton, {}, QPoint(40, 16));
    QTest::mouseRelease(m_button, Qt::RightButton, {}, QPoint(40, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    QCOMPARE(m_clicks->size(), 0);
    QCOMPARE(doubleClicks.size(), 0);
}

void tst_ButtonInput::leftDoubleClick()
{
    showAndActivate();
    QSignalSpy doubleClicks(m_button, &ccXPButton::DblClick);
    const QPoint inside(40, 16);
    QTest::mouseMove(m_button, inside);
    QTest::mousePress(m_button, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, inside);
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    QTest::mouseDClick(m_button, Qt::LeftButton, {}, inside);
    QCOMPARE(doubleClicks.size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, inside);
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(doubleClicks.size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
}

void tst_ButtonInput::spaceIsIgnoredWhileTheMouseIsDown()
{
    showAndActivate();
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QTest::keyPress(m_button, Qt::Key_Space);
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(m_clicks->size(), 0);
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    // The press of the mouse still counts, and mouse moves still repaint.
    moveTo(QPointF(120, 16), Qt::LeftButton);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    moveTo(QPointF(40, 16), Qt::LeftButton);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 1);
}

void tst_ButtonInput::mouseIsIgnoredWhileSpaceIsHeld()
{
    showAndActivate();
    QSignalSpy moves(m_button, &ccXPButton::MouseMove);
    m_button->setFocus();
    QTest::keyPress(m_button, Qt::Key_Space);
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    QTest::keyPress(m_button, Qt::Key_Space, {}, -1); // a repeat changes nothing
    const quint64 paints = m_button->surface().clearCount();
    moveTo(QPointF(40, 16));
    moveTo(QPointF(120, 16));
    QCOMPARE(moves.size(), 0);
    QCOMPARE(m_button->surface().clearCount(), paints);
    QCOMPARE(m_clicks->size(), 0);
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
}

void tst_ButtonInput::spaceReleasedDuringAMousePressDoesNotStick()
{
    showAndActivate();
    m_button->setFocus();
    QTest::keyPress(m_button, Qt::Key_Space);
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QTest::keyRelease(m_button, Qt::Key_Space); // ignored while the mouse is down
    QCOMPARE(m_clicks->size(), 0);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 1);
    // Space is up: the button follows the pointer again.
    moveTo(QPointF(120, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
}

void tst_ButtonInput::enterRaisesClickAtOnce()
{
    showAndActivate();
    m_button->setFocus();
    const quint64 paints = m_button->surface().clearCount();
    QTest::keyClick(m_button, Qt::Key_Return);
    QCOMPARE(m_clicks->size(), 1);
    QTest::keyClick(m_button, Qt::Key_Enter);
    QCOMPARE(m_clicks->size(), 2);
    QCOMPARE(m_button->surface().clearCount(), paints);
}

void tst_ButtonInput::arrowsMoveTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("forward");
    QTest::newRow("Left: previous control") << int(Qt::Key_Left) << false;
    QTest::newRow("Up: previous control") << int(Qt::Key_Up) << false;
    QTest::newRow("Right: next control") << int(Qt::Key_Right) << true;
    QTest::newRow("Down: next control") << int(Qt::Key_Down) << true;
    QTest::newRow("Tab still works: next control") << int(Qt::Key_Tab) << true;
    QTest::newRow("Backtab still works: previous control") << int(Qt::Key_Backtab) << false;
}

void tst_ButtonInput::arrowsMoveTheFocus()
{
    QFETCH(int, key);
    QFETCH(bool, forward);
    showAndActivate();
    m_button->setFocus();
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    QTest::keyClick(m_button, Qt::Key(key));
    QVERIFY((forward ? m_after : m_before)->hasFocus());
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
}

void tst_ButtonInput::accessKey()
{
    showAndActivate();
    QTest::keyClick(m_host, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(m_clicks->size(), 1);
    // A disabled button does not answer to it.
    m_button->SetEnabled(false);
    QTest::keyClick(m_host, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(m_clicks->size(), 1);
}

void tst_ButtonInput::accessKeyCancelsAHeldSpace()
{
    showAndActivate();
    m_button->setFocus();
    QTest::keyPress(m_button, Qt::Key_Space);
    QCOMPARE(m_button->paintedState(), ButtonState::Pressed);
    QTest::keyClick(m_host, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(m_clicks->size(), 0);
}

void tst_ButtonInput::boundsAreInclusive_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<ButtonState>("look");
    QTest::newRow("x = w is inside") << QPointF(81, 16) << ButtonState::Hot;
    QTest::newRow("y = h is inside") << QPointF(40, 33) << ButtonState::Hot;
    QTest::newRow("(0, 0) is inside") << QPointF(0, 0) << ButtonState::Hot;
    QTest::newRow("x = -0.5 is outside") << QPointF(-0.5, 16) << ButtonState::Normal;
    QTest::newRow("y = h + 0.5 is outside") << QPointF(40, 33.5) << ButtonState::Normal;
}

void tst_ButtonInput::boundsAreInclusive()
{
    QFETCH(QPointF, position);
    QFETCH(ButtonState, look);
    showAndActivate();
    moveTo(QPointF(40, 16));
    moveTo(QPointF(-20, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
    moveTo(position);
    QCOMPARE(m_button->paintedState(), look);
}

void tst_ButtonInput::movesWhileTheFormIsInactive()
{
    showAndActivate();
    deactivate();
    QSignalSpy moves(m_button, &ccXPButton::MouseMove);
    moveTo(QPointF(40, 16));
    moveTo(QPointF(41, 16));
    QCOMPARE(moves.size(), 0);
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
    // Coming back with the pointer over the button shows it hot.
    m_host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
}

void tst_ButtonInput::deactivationEndsAPressWithoutClick()
{
    showAndActivate();
    QSignalSpy activations(m_button, &ccXPButton::FormActivate);
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    deactivate();
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
    QCOMPARE(activations.size(), 1);
    QCOMPARE(activations.first().first().toInt(), 0);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 0);
}

void tst_ButtonInput::formActivate_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled button") << true;
    QTest::newRow("disabled button") << false;
}

void tst_ButtonInput::formActivate()
{
    QFETCH(bool, enabled);
    m_button->SetEnabled(enabled);
    QSignalSpy activations(m_button, &ccXPButton::FormActivate);
    showAndActivate();
    deactivate();
    m_host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
    QCOMPARE(activations.size(), 3);
    QCOMPARE(activations.at(0).first().toInt(), 1);
    QCOMPARE(activations.at(1).first().toInt(), 0);
    QCOMPARE(activations.at(2).first().toInt(), 1);
    QCOMPARE(m_button->paintedState(), enabled ? ButtonState::Normal : ButtonState::Disabled);
}

void tst_ButtonInput::lostFocusLook_data()
{
    QTest::addColumn<bool>("pointerOver");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<ButtonState>("look");
    QTest::newRow("pointer over the button: Hot") << true << false << ButtonState::Hot;
    QTest::newRow("default button, pointer away: Focused") << false << true << ButtonState::Focused;
    QTest::newRow("otherwise: Normal") << false << false << ButtonState::Normal;
}

void tst_ButtonInput::lostFocusLook()
{
    QFETCH(bool, pointerOver);
    QFETCH(bool, isDefault);
    QFETCH(ButtonState, look);
    showAndActivate();
    ButtonTestHost::siteOf(m_button)->setDisplayAsDefault(isDefault);
    m_button->setFocus();
    if (pointerOver)
        moveTo(QPointF(40, 16));
    m_after->setFocus();
    QCOMPARE(m_button->paintedState(), look);
}

void tst_ButtonInput::ambientChangeRepaintsOnlyForDisplayAsDefault()
{
    auto *button = new ccXPButton(m_host);
    auto *site = new QuietDefaultSite(button, QStringLiteral("CcXExit"), button);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    showAndActivate();
    QCOMPARE(button->paintedState(), ButtonState::Normal);

    site->quietDefault = true;
    emit site->AmbientChanged(QStringLiteral("ForeColor"));
    QCOMPARE(button->paintedState(), ButtonState::Normal);
    // ... but the button now knows it is the default button.
    button->SetEnabled(true);
    QCOMPARE(button->paintedState(), ButtonState::Focused);

    site->quietDefault = false;
    emit site->AmbientChanged(QStringLiteral("displayasdefault"));
    QCOMPARE(button->paintedState(), ButtonState::Focused);
    emit site->AmbientChanged(QStringLiteral("DisplayAsDefault"));
    QCOMPARE(button->paintedState(), ButtonState::Normal);
}

void tst_ButtonInput::enabledUnderThePointer()
{
    showAndActivate();
    moveTo(QPointF(40, 16));
    m_button->SetEnabled(false);
    QCOMPARE(m_button->paintedState(), ButtonState::Disabled);
    m_button->SetEnabled(true);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);

    moveTo(QPointF(-5, 16));
    ButtonTestHost::siteOf(m_button)->setDisplayAsDefault(true);
    m_button->SetEnabled(false);
    m_button->SetEnabled(true);
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
}

void tst_ButtonInput::mouseMoveIsPassedOn()
{
    showAndActivate();
    QSignalSpy moves(m_button, &ccXPButton::MouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(12.5, 7.25), m_button->mapToGlobal(QPointF(12.5, 7.25)), Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier);
    QApplication::sendEvent(m_button, &move);
    QCOMPARE(moves.size(), 1);
    const QList<QVariant> arguments = moves.first();
    QCOMPARE(arguments.at(0).toInt(), 1 | 2); // left and right
    QCOMPARE(arguments.at(1).toInt(), 1 | 4); // Shift and Alt
    QCOMPARE(arguments.at(2).toFloat(), 12.5f);
    QCOMPARE(arguments.at(3).toFloat(), 7.25f);
    // The same position again is no move.
    QApplication::sendEvent(m_button, &move);
    QCOMPARE(moves.size(), 1);
}

void tst_ButtonInput::throwingClickHandlerDoesNotStopTheButton()
{
    showAndActivate();
    connect(m_button, &ccXPButton::Click, m_host, [] { throw std::runtime_error("handler failed"); });
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: handler failed");
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    // The press ended: moving out shows Focused, not Pressed, and the next click counts.
    moveTo(QPointF(120, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: handler failed");
    moveTo(QPointF(40, 16));
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 2);
}

QTEST_MAIN(tst_ButtonInput)
#include "tst_buttoninput.moc"
