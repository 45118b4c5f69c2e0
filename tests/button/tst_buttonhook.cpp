#include "buttontesthost.h"
#include "designfonts.h"
#include "fonts.h"
#include "windowsystem.h"

#include <QApplication>
#include <QCursor>
#include <QMetaEnum>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

// A host passes Windows' own message numbers.
constexpr std::int32_t WmActivate = WindowSystem::WmActivate;
constexpr std::int32_t WmNcActivate = WindowSystem::WmNcActivate;
constexpr std::int32_t WmMouseLeave = WindowSystem::WmMouseLeave;
static_assert(WmActivate == 6 && WmNcActivate == 134 && WmMouseLeave == 675);

// Writes down the events of the watched kinds that reach the form or the
// button through the object it is installed on.
class EventLog : public QObject
{
public:
    EventLog(const QString &name, const QWidget *form, const QWidget *button, QStringList &log)
        : m_name(name), m_form(form), m_button(button), m_log(log)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        static const QList<QEvent::Type> watchedTypes = {QEvent::Leave,          QEvent::WindowActivate,
                                                        QEvent::WindowDeactivate, QEvent::ActivationChange,
                                                        QEvent::FocusIn,        QEvent::FocusOut};
        if ((watched == m_form || watched == m_button) && watchedTypes.contains(event->type()))
            m_log.append(QStringLiteral("%1: %2 %3%4")
                             .arg(m_name, watched == m_form ? QStringLiteral("form") : QStringLiteral("button"),
                                  QString::fromLatin1(QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type())),
                                  event->spontaneous() ? QStringLiteral(" (spontaneous)") : QString()));
        return false;
    }

private:
    QString m_name;
    const QWidget *m_form;
    const QWidget *m_button;
    QStringList &m_log;
};

// A window class as the program writes them: its handlers are member
// functions. Called on a host that is being destroyed, UBSan reports the
// downcast to it.
class MemberSlotHost : public ButtonTestHost
{
public:
    explicit MemberSlotHost(QStringList &log) : m_log(log) {}
    void OnFormActivate(int State) { m_log.append(QStringLiteral("FormActivate %1").arg(State)); }
    void OnMouseMove() { m_log.append(QStringLiteral("MouseMove")); }

private:
    QStringList &m_log;
};

// Terminates a button when the watched widget hears that its form lost the
// activation.
class TerminateOnDeactivate : public QObject
{
public:
    explicit TerminateOnDeactivate(ccXPButton *button) : m_button(button) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowDeactivate)
            m_button->Terminate();
        return false;
    }

private:
    ccXPButton *m_button;
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
    void watchedMessagesAroundTheFormsProcessing_data();
    void watchedMessagesAroundTheFormsProcessing();
    void unknownWindowsHaveNoEffect();
    void attachReusesAFreeEntry();
    void oneLeaveReactionPerExit();
    void activationWordDecidesTheState_data();
    void activationWordDecidesTheState();
    void oneFormActivatePerActivation_data();
    void oneFormActivatePerActivation();
    void fourButtonsInAttachOrder();
    void detachingInAnyOrder();
    void destroyedButtonLeavesNoHook();
    void throwingFormActivateHandler();
    void eventsPassThroughUntouched();
    void twoFormsInWindowsOrder();
    void activationSurvivesTheOldFormsHooksGoing();
    void destroyedFormDropsItsHooksFirst();
    void destroyingTheHostCallsNothingOnIt_data();
    void destroyingTheHostCallsNothingOnIt();

private:
    void showAndActivate();
    void deactivate();
    void activate();
    QStringList sessionSeenByFilters(bool hooked, QStringList &raised);

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

    const std::vector<HookRecord> &hooks = button->hook().records();
    QCOMPARE(hooks.size(), 2u);
    QCOMPARE(hooks[0].window, button->hWnd());
    QCOMPARE(hooks[0].afterCount, 1);
    QCOMPARE(hooks[0].afterMessages, QList<std::int32_t>{WmMouseLeave});
    QCOMPARE(hooks[0].beforeCount, 0);
    QCOMPARE(hooks[1].window, WindowSystem::handleOf(m_host));
    QCOMPARE(hooks[1].afterMessages, QList<std::int32_t>{formMessage});
    QCOMPARE(hooks[1].beforeCount, 0);
}

void tst_ButtonHook::designModeHooksNothing()
{
    auto *button = new ccXPButton(m_host);
    auto *site = new FormSite(button, QStringLiteral("CcXExit"), button);
    site->setUserMode(false);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    QVERIFY(button->hook().records().empty());
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    showAndActivate();
    QCOMPARE(activations.size(), 0);
}

void tst_ButtonHook::terminateFreesTheEntries()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    QSignalSpy activations(button, &ccXPButton::FormActivate);
    button->Terminate();
    QCOMPARE(button->hook().records().size(), 2u);
    for (const HookRecord &hook : button->hook().records()) {
        QCOMPARE(hook.window, 0);
        QCOMPARE(hook.interception, nullptr);
        QCOMPARE(hook.afterCount, 0);
        QVERIFY(hook.afterMessages.isEmpty());
    }
    showAndActivate();
    QCOMPARE(activations.size(), 0);
}

void tst_ButtonHook::watchingTheSameMessageTwice()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter);
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter | ccXPButton::HookBefore);
    const HookRecord &own = button->hook().records()[0];
    QCOMPARE(own.afterCount, 1);
    QCOMPARE(own.afterMessages, QList<std::int32_t>{WmMouseLeave});
    QCOMPARE(own.beforeCount, 1);
    QCOMPARE(own.beforeMessages, QList<std::int32_t>{WmMouseLeave});

    // A second message is added behind the first.
    button->HookWatch(button->hWnd(), WmActivate, ccXPButton::HookAfter);
    QCOMPARE(button->hook().records()[0].afterMessages, (QList<std::int32_t>{WmMouseLeave, WmActivate}));
}

void tst_ButtonHook::watchedMessagesAroundTheFormsProcessing_data()
{
    QTest::addColumn<std::int32_t>("uMsg");
    QTest::addColumn<std::int32_t>("When");
    QTest::addColumn<QList<int>>("childActivationsSeen");
    // The button always watches WM_ACTIVATE after the form's processing.
    QTest::newRow("WM_ACTIVATE after: once, after the form") << WmActivate << ccXPButton::HookAfter << QList<int>{1};
    QTest::newRow("WM_ACTIVATE before too: before and after the form")
        << WmActivate << (ccXPButton::HookBefore | ccXPButton::HookAfter) << QList<int>{0, 1};
    QTest::newRow("every message after: WM_NCACTIVATE and WM_ACTIVATE after the form")
        << ccXPButton::EveryMessage << ccXPButton::HookAfter << QList<int>{1, 1};
    QTest::newRow("every message before: both before, WM_ACTIVATE after")
        << ccXPButton::EveryMessage << ccXPButton::HookBefore << QList<int>{0, 0, 1};
}

// Each FormActivate tells how many WindowActivate events the form's other
// child had seen by then: 0 before the form's own processing, 1 after it.
void tst_ButtonHook::watchedMessagesAroundTheFormsProcessing()
{
    QFETCH(std::int32_t, uMsg);
    QFETCH(std::int32_t, When);
    QFETCH(QList<int>, childActivationsSeen);
    auto *child = new QWidget(m_host);
    child->setGeometry(300, 200, 10, 10);
    QStringList childLog;
    EventLog childFilter(QStringLiteral("child"), nullptr, child, childLog);
    child->installEventFilter(&childFilter);
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    const std::int32_t form = WindowSystem::handleOf(m_host);
    button->HookWatch(form, uMsg, When);
    if (uMsg == ccXPButton::EveryMessage) {
        // Once a list takes every message, a single one adds nothing.
        button->HookWatch(form, WmMouseLeave, When);
        QCOMPARE(When & ccXPButton::HookAfter ? button->hook().records()[1].afterCount : button->hook().records()[1].beforeCount,
                 ccXPButton::EveryMessage);
    }
    QList<int> seen;
    const QObject receiver;
    connect(button, &ccXPButton::FormActivate, &receiver, [&] {
        seen.append(int(childLog.count(QStringLiteral("child: button WindowActivate"))));
    });
    showAndActivate();
    QCOMPARE(seen, childActivationsSeen);
}

void tst_ButtonHook::unknownWindowsHaveNoEffect()
{
    auto *button = new ccXPButton(m_host);
    button->Initialize();
    // Before anything was attached.
    button->HookWatch(button->hWnd(), WmMouseLeave, ccXPButton::HookAfter);
    button->HookDetach(button->hWnd());
    QCOMPARE(button->HookFind(button->hWnd(), false), -1);
    QVERIFY(button->hook().records().empty());

    QCOMPARE(button->HookAttach(button->hWnd()), 0);
    const std::int32_t stranger = WindowSystem::handleOf(m_host);
    button->HookWatch(stranger, WmActivate, ccXPButton::HookAfter);
    button->HookDetach(stranger);
    button->HookDetach(0);
    QCOMPARE(button->HookAttach(0x7FFFFFF0), -1);
    QCOMPARE(button->hook().records().size(), 1u);
    QCOMPARE(button->hook().records()[0].window, button->hWnd());
    QCOMPARE(button->hook().records()[0].afterCount, 0);
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
    QCOMPARE(button->hook().records().size(), 2u);
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

// The filters of a form, of its button and of the application, installed
// after the button's hooks, through one session: shown and activated, the
// pointer in and out of the button, another window activated.
QStringList tst_ButtonHook::sessionSeenByFilters(bool hooked, QStringList &raised)
{
    QCursor::setPos(790, 790);
    ButtonTestHost form;
    form.move(0, 0);
    auto *button = new ccXPButton(&form);
    auto *site = new FormSite(button, QStringLiteral("CcXExit"), button);
    site->setUserMode(hooked);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    button->setGeometry(10, 10, 89, 81);
    const QObject receiver;
    connect(button, &ccXPButton::FormActivate, &receiver,
            [&raised](int state) { raised.append(QStringLiteral("FormActivate %1").arg(state)); });

    QStringList log;
    EventLog formFilter(QStringLiteral("form filter"), &form, button, log);
    EventLog buttonFilter(QStringLiteral("button filter"), &form, button, log);
    EventLog appFilter(QStringLiteral("application filter"), &form, button, log);
    form.installEventFilter(&formFilter);
    button->installEventFilter(&buttonFilter);
    qApp->installEventFilter(&appFilter);

    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return {QStringLiteral("the form did not become active")};
    QTest::mouseMove(button, QPoint(20, 20));
    QTest::mouseMove(&form, QPoint(300, 200));
    raised.append(QStringLiteral("look %1").arg(stateName(button->paintedState())));
    QWidget other;
    other.setGeometry(500, 500, 50, 50);
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other))
        return {QStringLiteral("the other window did not become active")};
    qApp->removeEventFilter(&appFilter);
    return log;
}

void tst_ButtonHook::eventsPassThroughUntouched()
{
    QStringList withoutHooks;
    const QStringList reference = sessionSeenByFilters(false, withoutHooks);
    QStringList raised;
    const QStringList seen = sessionSeenByFilters(true, raised);
    QCOMPARE(seen, reference);
    for (const char *filter : {"form filter: form", "button filter: button", "application filter: button",
                               "application filter: form"}) {
        const QString prefix = QString::fromLatin1(filter);
        const bool onForm = prefix.endsWith(QStringLiteral("form"));
        QCOMPARE(seen.count(prefix + QStringLiteral(" WindowActivate (spontaneous)")), onForm ? 1 : 0);
        QCOMPARE(seen.count(prefix + QStringLiteral(" WindowDeactivate (spontaneous)")), onForm ? 1 : 0);
        QCOMPARE(seen.count(prefix + QStringLiteral(" WindowActivate")), onForm ? 0 : 1);
        QCOMPARE(seen.count(prefix + QStringLiteral(" WindowDeactivate")), onForm ? 0 : 1);
        QCOMPARE(seen.count(prefix + QStringLiteral(" Leave")), onForm ? 0 : 1);
    }
    // ... and the hooks still did their work.
    QCOMPARE(raised, (QStringList{QStringLiteral("FormActivate 1"), QStringLiteral("look Focused"),
                                  QStringLiteral("FormActivate 0")}));
    QCOMPARE(withoutHooks, QStringList{QStringLiteral("look Focused")});
}

// Windows deactivates the old form before it activates the new one, and
// gives the focus back while it activates it.
void tst_ButtonHook::twoFormsInWindowsOrder()
{
    ButtonTestHost second;
    second.move(420, 0);
    ccXPButton *a = m_host->addButton(QStringLiteral("A"), QRect(10, 10, 89, 81));
    ccXPButton *b = second.addButton(QStringLiteral("B"), QRect(10, 10, 89, 81));
    QStringList log;
    EventLog focusOfA(QStringLiteral("A"), nullptr, a, log);
    EventLog focusOfB(QStringLiteral("B"), nullptr, b, log);
    a->installEventFilter(&focusOfA);
    b->installEventFilter(&focusOfB);
    const QObject receiver;
    for (ccXPButton *button : {a, b}) {
        const QString name = ButtonTestHost::siteOf(button)->name();
        connect(button, &ccXPButton::FormActivate, &receiver,
                [&log, name](int state) { log.append(QStringLiteral("%1 FormActivate %2").arg(name).arg(state)); });
        button->window()->show();
        button->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(button->window()));
        button->setFocus();
    }

    for (const auto &[from, to] : {std::pair{"B", "A"}, std::pair{"A", "B"}}) {
        log.clear();
        QWidget *form = (to == QLatin1String("A") ? a : b)->window();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        log.removeIf([](const QString &entry) { return entry.contains(QStringLiteral("Window")); });
        QCOMPARE(log, (QStringList{QStringLiteral("%1 FormActivate 0").arg(from),
                                   QStringLiteral("%1: button FocusOut").arg(from),
                                   QStringLiteral("%1: button FocusIn").arg(to),
                                   QStringLiteral("%1 FormActivate 1").arg(to)}));
    }
}

// The new form's activation waits for the old form's deactivation; a host
// that drops the old form's hooks in between must not cost it.
void tst_ButtonHook::activationSurvivesTheOldFormsHooksGoing()
{
    ccXPButton *old = m_host->addButton(QStringLiteral("A"), QRect(10, 10, 89, 81));
    showAndActivate();
    TerminateOnDeactivate terminator(old);
    old->installEventFilter(&terminator);
    QSignalSpy oldActivations(old, &ccXPButton::FormActivate);
    ButtonTestHost second;
    second.move(420, 0);
    ccXPButton *fresh = second.addButton(QStringLiteral("B"), QRect(10, 10, 89, 81));
    QSignalSpy activations(fresh, &ccXPButton::FormActivate);
    second.show();
    second.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&second));
    QCOMPARE(oldActivations.size(), 0);
    QCOMPARE(activations.size(), 1);
    QCOMPARE(activations.first().first().toInt(), 1);
}

// Children go in the order they were made: one made before the button sees
// the button's hooks as the form's teardown left them.
void tst_ButtonHook::destroyedFormDropsItsHooksFirst()
{
    auto *firstChild = new QObject(m_host);
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    showAndActivate();
    QList<std::int32_t> windowsLeft;
    connect(firstChild, &QObject::destroyed, firstChild, [&windowsLeft, button] {
        for (const HookRecord &hook : button->hook().records())
            windowsLeft.append(hook.window);
    });
    delete m_host;
    m_host = nullptr;
    QCOMPARE(windowsLeft, (QList<std::int32_t>{0, 0}));
}

void tst_ButtonHook::destroyingTheHostCallsNothingOnIt_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("raised");
    const QStringList none;
    const QStringList deactivated{QStringLiteral("FormActivate 0")};
    QTest::newRow("active form deleted") << "delete" << none;
    QTest::newRow("active form deleted, its button focused under the pointer")
        << "point focus delete" << QStringList{QStringLiteral("MouseMove")};
    QTest::newRow("inactive form deleted") << "deactivate delete" << deactivated;
    QTest::newRow("button deleted, then the active form") << "focus button delete" << none;
    QTest::newRow("closed form still hears of its deactivation") << "close delete" << deactivated;
    QTest::newRow("hidden form still hears of its deactivation") << "hide delete" << deactivated;
}

// Run under UBSan, a call into the host while it is destroyed is reported.
void tst_ButtonHook::destroyingTheHostCallsNothingOnIt()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, raised);
    QStringList log;
    auto *host = new MemberSlotHost(log);
    QPointer<ccXPButton> button = host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    connect(button, &ccXPButton::FormActivate, host, &MemberSlotHost::OnFormActivate);
    connect(button, &ccXPButton::MouseMove, host, &MemberSlotHost::OnMouseMove);
    host->move(0, 0);
    host->show();
    host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host));
    log.clear();

    for (const QString &step : steps.split(u' ')) {
        if (step == u"point")
            QTest::mouseMove(button, QPoint(20, 20));
        else if (step == u"focus")
            button->setFocus();
        else if (step == u"deactivate")
            deactivate();
        else if (step == u"button")
            delete button;
        else if (step == u"close")
            host->close();
        else if (step == u"hide")
            host->hide();
        else if (step == u"delete")
            delete host;
    }
    QCOMPARE(log, raised);
}

QTEST_MAIN(tst_ButtonHook)
#include "tst_buttonhook.moc"
