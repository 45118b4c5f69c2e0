#include "buttontesthost.h"
#include "fonts.h"
#include "windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

constexpr std::int32_t WmActivate = 6;
constexpr std::int32_t WmNcActivate = 134;
constexpr std::int32_t WmMouseLeave = 675;

// Counts the events of one type that reach a widget's own processing.
class EventCounter : public QObject
{
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

class tst_ButtonHook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readPropertiesHooksBothWindows_data();
    void readPropertiesHooksBothWindows();
    void designModeHooksNothing();
    void terminateFreesTheEntries();
    void watchingTheSameMessageTwice();
    void watchingEveryMessage();
    void unknownWindowsHaveNoEffect();
    void attachReusesAFreeEntry();
    void oneLeaveReactionPerExit();
    void pointerLeftReaction_data();
    void pointerLeftReaction();
    void activationWordDecidesTheState_data();
    void activationWordDecidesTheState();
    void oneFormActivatePerActivation_data();
    void oneFormActivatePerActivation();
    void fourButtonsInAttachOrder();
    void detachingInAnyOrder();
    void destroyedButtonLeavesNoHook();
    void throwingFormActivateHandler();
    void hookedFormStillProcessesItsEvents();

private:
    void showAndActivate();
    void deactivate();
    void activate();

    ButtonTestHost *m_host = nullptr;
    std::unique_ptr<QWidget> m_other;
};

void tst_ButtonHook::initTestCase()
{
    installDesignFonts();
}

void tst_ButtonHook::init()
{
    QCursor::setPos(790, 790);
    m_host = new ButtonTestHost;
    m_host->move(0, 0);
}

void tst_ButtonHook::cleanup()
{
    delete m_host;
    m_host = nullptr;
    m_other.reset();
}

void tst_ButtonHook::showAndActivate()
{
    m_host->show();
    activate();
}

void tst_ButtonHook::activate()
{
    m_host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
}

void tst_ButtonHook::deactivate()
{
    if (!m_other) {
        m_other = std::make_unique<QWidget>();
        m_other->setGeometry(500, 500, 50, 50);
    }
    m_other->show();
    m_other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_other.get()));
    QTRY_VERIFY(!m_host->isActiveWindow());
}

void tst_ButtonHook::readPropertiesHooksBothWindows_data()
{
    QTest::addColumn<bool>("mdiChild");
    QTest::addColumn<std::int32_t>("formMessage");
    QTest::newRow("plain form: WM_ACTIVATE") << false << WmActivate;
    QTest::newRow("MDI child form: WM_NCACTIVATE") << true << WmNcActivate;
}

void tst_ButtonHook::readPropertiesHooksBothWindows()
{
    QFETCH(bool, mdiChild);
    QFETCH(std::int32_t, formMessage);
    auto *button = new ccXPButton(m_host);
    auto *site = new FormSite(button, QStringLiteral("CcXExit"), button);
    site->setMdiChild(mdiChild);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());

    const std::vector<HookRecord> &hooks = button->hooks();
    QCOMPARE(hooks.size(), 2u);
    QCOMPARE(hooks[0].Window, button->hWnd());
    QCOMPARE(hooks[0].AfterCount, 1);
    QCOMPARE(hooks[0].AfterMsgs, QList<std::int32_t>{WmMouseLeave});
    QCOMPARE(hooks[0].BeforeCount, 0);
    QCOMPARE(hooks[1].Window, WindowSystem::handleOf(m_host));
    QCOMPARE(hooks[1].AfterMsgs, QList<std::int32_t>{formMessage});
    QCOMPARE(hooks[1].BeforeCount, 0);
}

void tst_ButtonHook::designModeHooksNothing()
{
    auto *button = new ccXPButton(m_host);
    auto *site = new FormSite(button, QStringLiteral("CcXExit"), button);
    site->setUserMode(false);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    QVERIFY(button->hooks().empty());
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    showAndActivate();
    QCOMPARE(activations.size(), 0);
}

void tst_ButtonHook::terminateFreesTheEntries()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    button->Terminate();
    QCOMPARE(button->hooks().size(), 2u);
    for (const HookRecord &hook : button->hooks()) {
        QCOMPARE(hook.Window, 0);
        QCOMPARE(hook.Block, nullptr);
        QCOMPARE(hook.AfterCount, 0);
        QVERIFY(hook.AfterMsgs.isEmpty());
    }
    showAndActivate();
    QCOMPARE(activations.size(), 0);
}

void tst_ButtonHook::watchingTheSameMessageTwice()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter);
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter | ccXPButton::HookBefore);
    const HookRecord &own = button->hooks()[0];
    QCOMPARE(own.AfterCount, 1);
    QCOMPARE(own.AfterMsgs, QList<std::int32_t>{WmMouseLeave});
    QCOMPARE(own.BeforeCount, 1);
    QCOMPARE(own.BeforeMsgs, QList<std::int32_t>{WmMouseLeave});

    // A second message is added behind the first.
    button->HookWatch(button->hWnd(), WmActivate, ccXPButton::HookAfter);
    QCOMPARE(button->hooks()[0].AfterMsgs, (QList<std::int32_t>{WmMouseLeave, WmActivate}));
}

void tst_ButtonHook::watchingEveryMessage()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    const std::int32_t form = WindowSystem::handleOf(m_host);
    button->HookWatch(form, ccXPButton::EveryMessage, ccXPButton::HookAfter);
    QCOMPARE(button->hooks()[1].AfterCount, ccXPButton::EveryMessage);
    button->HookWatch(form, WmMouseLeave, ccXPButton::HookAfter);
    QCOMPARE(button->hooks()[1].AfterCount, ccXPButton::EveryMessage);

    // Both activation messages now reach the button.
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    showAndActivate();
    QCOMPARE(activations.size(), 2);
}

void tst_ButtonHook::unknownWindowsHaveNoEffect()
{
    auto *button = new ccXPButton(m_host);
    button->Initialize();
    // Before anything was attached.
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter);
    button->HookDetach(button->hWnd());
    QCOMPARE(button->HookFind(button->hWnd(), false), -1);
    QVERIFY(button->hooks().empty());

    QCOMPARE(button->HookAttach(button->hWnd()), 0);
    const std::int32_t stranger = WindowSystem::handleOf(m_host);
    button->HookWatch(stranger, WmActivate, ccXPButton::HookAfter);
    button->HookDetach(stranger);
    button->HookDetach(0);
    QCOMPARE(button->HookAttach(0x7FFFFFF0), -1);
    QCOMPARE(button->hooks().size(), 1u);
    QCOMPARE(button->hooks()[0].Window, button->hWnd());
    QCOMPARE(button->hooks()[0].AfterCount, 0);
}

void tst_ButtonHook::attachReusesAFreeEntry()
{
    auto *button = new ccXPButton(m_host);
    button->Initialize();
    auto *other = new QWidget(m_host);
    const std::int32_t own = button->hWnd();
    const std::int32_t form = WindowSystem::handleOf(m_host);
    const std::int32_t third = WindowSystem::handleOf(other);
    QCOMPARE(button->HookAttach(own), 0);
    QCOMPARE(button->HookAttach(form), 1);
    button->HookDetach(own);
    QCOMPARE(button->HookFind(0, true), 0);
    QCOMPARE(button->HookAttach(third), 0);
    QCOMPARE(button->hooks().size(), 2u);
    QCOMPARE(button->HookFind(third, false), 0);
    QCOMPARE(button->HookFind(form, false), 1);
}

void tst_ButtonHook::oneLeaveReactionPerExit()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    showAndActivate();
    // Several moves inside renew the request; leaving answers it once.
    QTest::mouseMove(button, QPoint(20, 20));
    QTest::mouseMove(button, QPoint(30, 20));
    QTest::mouseMove(button, QPoint(40, 20));
    QCOMPARE(button->paintedState(), ButtonState::Hot);
    // The button has the focus (it is the form's only control), so its look
    // falls back to Focused.
    QVERIFY(button->hasFocus());
    QTest::mouseMove(m_host, QPoint(300, 200));
    QCOMPARE(button->paintedState(), ButtonState::Focused);

    // Without a new request, another leave is not reported.
    button->DrawButton(ButtonState::Hot);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QCOMPARE(button->paintedState(), ButtonState::Hot);

    QTest::mouseMove(button, QPoint(40, 30));
    QTest::mouseMove(m_host, QPoint(300, 210));
    QCOMPARE(button->paintedState(), ButtonState::Focused);
}

void tst_ButtonHook::pointerLeftReaction_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const auto row = [](const char *name, int setup, ButtonState before, ButtonState after) {
        QTest::newRow(name) << setup << int(before) << int(after);
    };
    row("hot without the focus falls back to Normal", 0, ButtonState::Hot, ButtonState::Normal);
    row("hot with the focus falls back to Focused", 1, ButtonState::Hot, ButtonState::Focused);
    row("hot default button falls back to Focused", 2, ButtonState::Hot, ButtonState::Focused);
    row("pressed and armed falls back to Focused", 3, ButtonState::Pressed, ButtonState::Focused);
    row("pressed by a double click, not armed, falls back to Normal", 4, ButtonState::Pressed,
        ButtonState::Normal);
    row("Space held keeps Pressed", 5, ButtonState::Pressed, ButtonState::Pressed);
    row("disabled stays Disabled", 6, ButtonState::Disabled, ButtonState::Disabled);
}

void tst_ButtonHook::pointerLeftReaction()
{
    QFETCH(int, setup);
    QFETCH(int, before);
    QFETCH(int, after);
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXAddColumn"), QRect(10, 10, 89, 81));
    ccXPButton *other = m_host->addButton(QStringLiteral("CcXExit"), QRect(200, 10, 89, 81));
    showAndActivate();
    const QPoint inside(20, 20);

    (setup == 0 || setup == 2 ? other : button)->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() == (setup == 0 || setup == 2 ? other : button));
    if (setup == 2)
        ButtonTestHost::siteOf(button)->setDisplayAsDefault(true);
    QTest::mouseMove(button, inside);
    switch (setup) {
    case 3:
        QTest::mousePress(button, Qt::LeftButton, {}, inside);
        break;
    case 4: {
        QTest::mouseClick(button, Qt::LeftButton, {}, inside);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, inside, button->mapToGlobal(inside), Qt::LeftButton,
                                Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &doubleClick);
        break;
    }
    case 5:
        QTest::keyPress(button, Qt::Key_Space);
        break;
    case 6:
        button->SetEnabled(false);
        break;
    default:
        break;
    }
    QCOMPARE(button->paintedState(), ButtonState(before));

    bool bHandled = false;
    std::int32_t lReturn = 0;
    std::int32_t window = button->hWnd();
    std::int32_t uMsg = WindowSystem::WmMouseLeave;
    std::int32_t wParam = 0;
    std::int32_t lParam = 0;
    button->zSubclass_Proc(false, bHandled, lReturn, window, uMsg, wParam, lParam);
    QCOMPARE(button->paintedState(), ButtonState(after));

    if (setup == 3)
        QTest::mouseRelease(m_host, Qt::LeftButton, {}, QPoint(350, 250));
    if (setup == 5)
        QTest::keyRelease(button, Qt::Key_Space);
}

void tst_ButtonHook::activationWordDecidesTheState_data()
{
    QTest::addColumn<std::int32_t>("uMsg");
    QTest::addColumn<std::int32_t>("wParam");
    QTest::addColumn<int>("state");
    QTest::newRow("WM_ACTIVATE 0: inactive") << WmActivate << 0 << 0;
    QTest::newRow("WM_ACTIVATE 1: active") << WmActivate << 1 << 1;
    QTest::newRow("WM_ACTIVATE 2 (by a click): active") << WmActivate << 2 << 1;
    QTest::newRow("WM_ACTIVATE low word 0, minimized: inactive") << WmActivate << 0x00010000 << 0;
    QTest::newRow("WM_ACTIVATE 1, minimized: active") << WmActivate << 0x00010001 << 1;
    QTest::newRow("WM_NCACTIVATE 1: active") << WmNcActivate << 1 << 1;
    QTest::newRow("WM_NCACTIVATE 0: inactive") << WmNcActivate << 0 << 0;
}

void tst_ButtonHook::activationWordDecidesTheState()
{
    QFETCH(std::int32_t, uMsg);
    QFETCH(std::int32_t, wParam);
    QFETCH(int, state);
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    bool handled = false;
    std::int32_t result = 7;
    std::int32_t window = WindowSystem::handleOf(m_host);
    std::int32_t lParam = 0;
    button->zSubclass_Proc(false, handled, result, window, uMsg, wParam, lParam);
    QCOMPARE(activations.size(), 1);
    QCOMPARE(activations.first().first().toInt(), state);
    QVERIFY(!handled);
    QCOMPARE(result, 7);
}

void tst_ButtonHook::oneFormActivatePerActivation_data()
{
    QTest::addColumn<bool>("mdiChild");
    QTest::newRow("plain form") << false;
    QTest::newRow("MDI child form") << true;
}

void tst_ButtonHook::oneFormActivatePerActivation()
{
    QFETCH(bool, mdiChild);
    auto *button = new ccXPButton(m_host);
    auto *site = new FormSite(button, QStringLiteral("CcXExit"), button);
    site->setMdiChild(mdiChild);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    showAndActivate();
    deactivate();
    QCOMPARE(activations.size(), 2);
    QCOMPARE(activations.at(0).first().toInt(), 1);
    QCOMPARE(activations.at(1).first().toInt(), 0);
}

void tst_ButtonHook::fourButtonsInAttachOrder()
{
    QStringList log;
    const QObject receiver; // ends the handlers before log goes
    QList<ccXPButton *> buttons;
    for (const QString &name : {QStringLiteral("CcXAddColumn"), QStringLiteral("CcXClearGraph"),
                                QStringLiteral("CcXSaveGraph"), QStringLiteral("CcXExit")}) {
        ccXPButton *button = m_host->addButton(name, QRect(10 + 90 * int(buttons.size()), 10, 81, 33));
        connect(button, &ccXPButton::FormActivate, &receiver,
                [&log, name](int state) { log.append(name + QLatin1Char(' ') + QString::number(state)); });
        buttons.append(button);
    }
    showAndActivate();
    deactivate();
    QCOMPARE(log, (QStringList{QStringLiteral("CcXAddColumn 1"), QStringLiteral("CcXClearGraph 1"),
                               QStringLiteral("CcXSaveGraph 1"), QStringLiteral("CcXExit 1"),
                               QStringLiteral("CcXAddColumn 0"), QStringLiteral("CcXClearGraph 0"),
                               QStringLiteral("CcXSaveGraph 0"), QStringLiteral("CcXExit 0")}));
}

void tst_ButtonHook::detachingInAnyOrder()
{
    QStringList log;
    const QObject receiver;
    QList<ccXPButton *> buttons;
    for (int i = 0; i < 4; ++i) {
        ccXPButton *button = m_host->addButton(QStringLiteral("b%1").arg(i), QRect(10 + 90 * i, 10, 81, 33));
        connect(button, &ccXPButton::FormActivate, &receiver, [&log, i](int state) {
            log.append(QStringLiteral("b%1 %2").arg(i).arg(state));
        });
        buttons.append(button);
    }
    buttons[1]->Terminate();
    buttons[3]->Terminate();
    showAndActivate();
    QCOMPARE(log, (QStringList{QStringLiteral("b0 1"), QStringLiteral("b2 1")}));

    log.clear();
    buttons[0]->Terminate();
    deactivate();
    QCOMPARE(log, QStringList{QStringLiteral("b2 0")});

    log.clear();
    buttons[2]->Terminate();
    activate();
    QVERIFY(log.isEmpty());
    QVERIFY(m_host->isActiveWindow());
}

void tst_ButtonHook::destroyedButtonLeavesNoHook()
{
    QStringList log;
    const QObject receiver;
    ccXPButton *first = m_host->addButton(QStringLiteral("first"), QRect(10, 10, 81, 33));
    ccXPButton *second = m_host->addButton(QStringLiteral("second"), QRect(100, 10, 81, 33));
    connect(second, &ccXPButton::FormActivate, &receiver, [&log](int state) { log.append(QString::number(state)); });
    delete first;
    showAndActivate();
    QCOMPARE(log, QStringList{QStringLiteral("1")});
}

void tst_ButtonHook::throwingFormActivateHandler()
{
    ccXPButton *first = m_host->addButton(QStringLiteral("first"), QRect(10, 10, 81, 33));
    ccXPButton *second = m_host->addButton(QStringLiteral("second"), QRect(100, 10, 81, 33));
    const QObject receiver;
    connect(first, &ccXPButton::FormActivate, &receiver, [](int) { throw std::runtime_error("no"); });
    QSignalSpy secondActivations(second, &ccXPButton::FormActivate);
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: no");
    showAndActivate();
    QCOMPARE(secondActivations.size(), 1);
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: no");
    deactivate();
    QCOMPARE(secondActivations.size(), 2);
    QCOMPARE(first->paintedState(), ButtonState::Normal);
}

void tst_ButtonHook::hookedFormStillProcessesItsEvents()
{
    // A child of the form learns of the activation only through the form's
    // own processing of the event, which the hook must not swallow.
    auto *child = new QWidget(m_host);
    child->setGeometry(300, 200, 10, 10);
    EventCounter childActivations(QEvent::WindowActivate);
    child->installEventFilter(&childActivations);
    EventCounter formActivations(QEvent::WindowActivate);
    m_host->installEventFilter(&formActivations);

    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    // FormActivate comes after the form has processed the event.
    int childActivationsSeen = -1;
    const QObject receiver;
    connect(button, &ccXPButton::FormActivate, &receiver, [&] { childActivationsSeen = childActivations.count; });
    showAndActivate();
    QCOMPARE(activations.size(), 1);
    QCOMPARE(childActivationsSeen, 1);
    QCOMPARE(childActivations.count, 1);
    QCOMPARE(formActivations.count, 1);
    QVERIFY(m_host->isActiveWindow());
}

QTEST_MAIN(tst_ButtonHook)
#include "tst_buttonhook.moc"
