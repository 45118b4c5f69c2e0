#include "ccxpbutton.h"

#include "controlsite.h"
#include "windowsystem.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr std::int32_t NotFound = -1;
constexpr std::int32_t LowWordMask = 0xFFFF;

bool listMatches(std::int32_t count, const QList<std::int32_t> &list, std::int32_t uMsg)
{
    if (count == ccXPButton::EveryMessage)
        return true;
    for (qsizetype i = 0; i < count && i < list.size(); ++i) {
        if (list[i] == uMsg)
            return true;
    }
    return false;
}

// What Qt does for a window it has just activated once every window has heard
// of the change: the control that had the focus in it gets it back. Done
// here first, it makes Qt's own attempt a no-op.
void restoreFocus(QWidget *window)
{
    if (QApplication::activePopupWidget() || QApplication::activeWindow() != window)
        return;
    QWidget *focus = window->focusWidget();
    if (focus && focus->isVisible())
        focus->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace

class WindowProcedure;

// What one hook record puts on a window: it hands the record's watched
// messages to the button's zSubclass_Proc, reading the record's lists as they
// are at each message.
class InterceptionBlock : public QObject
{
public:
    InterceptionBlock(ccXPButton *owner, std::size_t index, QWidget *window);
    ~InterceptionBlock() override;

    ccXPButton *owner() const { return m_owner; }
    std::size_t index() const { return m_index; }
    void call(bool bBefore, WindowMessage message);

private:
    ccXPButton *m_owner;
    std::size_t m_index;
    std::int32_t m_window;
    QPointer<WindowProcedure> m_procedure;
};

// What the hooks of one window learn of it. It watches and never holds an
// event back or sends one again, so the window, its children and every other
// filter get each event once and as it was sent.
//
// - A button's leave: the button is that window's procedure and reports it
//   itself, before and after its own processing.
// - A top-level window's activation: before-calls as the window receives
//   WindowActivate or WindowDeactivate; after-calls once Qt has told the
//   window and its children (ActivationChange), in Windows' order (see
//   reportActivations).
// - A form that starts to go away: ~QWidget closes the form's native window
//   without asking the form, then hides it, which deactivates it. By then the
//   host's part of the form has been destroyed, so every hook on the form and
//   on its children is detached there, silently.
class WindowProcedure : public QObject
{
public:
    static WindowProcedure *of(QWidget *window);
    static WindowProcedure *find(const QWidget *window);
    ~WindowProcedure() override;

    void append(InterceptionBlock *block);
    void remove(InterceptionBlock *block);
    void dispatch(const QList<WindowMessage> &messages, bool bBefore);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowProcedure(QWidget *window);
    void watchNativeWindow();
    void goAway();
    static void reportActivations();

    QWidget *m_window;
    QList<QPointer<InterceptionBlock>> m_chain; // in the order attached
    QPointer<QWindow> m_nativeWindow;
    // The native window was closed and the form has not been asked: the form
    // is being destroyed.
    bool m_closing = false;
    // The activation the window last processed, and the one last reported to
    // the after-calls.
    bool m_active = false;
    bool m_reportedActive = false;
};

namespace {

QHash<const QWidget *, WindowProcedure *> &procedures()
{
    static QHash<const QWidget *, WindowProcedure *> all;
    return all;
}

} // namespace

InterceptionBlock::InterceptionBlock(ccXPButton *owner, std::size_t index, QWidget *window)
    : QObject(owner)
    , m_owner(owner)
    , m_index(index)
    , m_window(WindowSystem::handleOf(window))
    , m_procedure(WindowProcedure::of(window))
{
    m_procedure->append(this);
}

InterceptionBlock::~InterceptionBlock()
{
    if (m_procedure)
        m_procedure->remove(this);
}

void InterceptionBlock::call(bool bBefore, WindowMessage message)
{
    const HookRecord &record = m_owner->hooks()[m_index];
    const bool watched = bBefore ? listMatches(record.BeforeCount, record.BeforeMsgs, message.uMsg)
                                 : listMatches(record.AfterCount, record.AfterMsgs, message.uMsg);
    if (!watched)
        return;
    bool bHandled = false;
    std::int32_t lReturn = 0;
    std::int32_t window = m_window;
    try {
        m_owner->zSubclass_Proc(bBefore, bHandled, lReturn, window, message.uMsg, message.wParam, message.lParam);
    } catch (...) {
        // A failure of the callback never reaches the window's processing.
    }
}

WindowProcedure *WindowProcedure::of(QWidget *window)
{
    if (WindowProcedure *existing = find(window))
        return existing;
    auto *procedure = new WindowProcedure(window);
    procedures().insert(window, procedure);
    // Only a top-level window has anything to watch: a child has no
    // activation, and the only child that leaves, the button, reports itself.
    if (window->isWindow()) {
        window->installEventFilter(procedure);
        procedure->watchNativeWindow();
    }
    return procedure;
}

WindowProcedure *WindowProcedure::find(const QWidget *window)
{
    return procedures().value(window);
}

WindowProcedure::WindowProcedure(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_active(QApplication::activeWindow() == window)
    , m_reportedActive(m_active)
{
}

WindowProcedure::~WindowProcedure()
{
    if (procedures().value(m_window) == this)
        procedures().remove(m_window);
}

void WindowProcedure::append(InterceptionBlock *block)
{
    m_chain.append(block);
}

// A block leaves the chain wherever it stands, so hooks can be detached in
// any order. The last one takes the procedure with it.
void WindowProcedure::remove(InterceptionBlock *block)
{
    m_chain.removeIf([block](const QPointer<InterceptionBlock> &entry) { return entry.isNull() || entry == block; });
    if (!m_chain.isEmpty())
        return;
    if (procedures().value(m_window) == this)
        procedures().remove(m_window);
    m_window->removeEventFilter(this);
    if (m_nativeWindow)
        m_nativeWindow->removeEventFilter(this);
    deleteLater();
    // An activation may have been waiting for this window's deactivation.
    reportActivations();
}

// On Windows a message runs down the chain from the block attached last to
// the window's own procedure and back up: before-calls come from the block
// attached last first, after-calls from the block attached first first.
void WindowProcedure::dispatch(const QList<WindowMessage> &messages, bool bBefore)
{
    const QList<QPointer<InterceptionBlock>> chain = m_chain; // handlers may attach and detach meanwhile
    for (const WindowMessage &message : messages) {
        for (qsizetype i = 0; i < chain.size(); ++i) {
            const QPointer<InterceptionBlock> &block = chain[bBefore ? chain.size() - 1 - i : i];
            if (block)
                block->call(bBefore, message);
        }
    }
}

bool WindowProcedure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_nativeWindow) {
        if (event->type() == QEvent::Close)
            m_closing = true;
        return false;
    }
    if (watched != m_window)
        return false;
    if (m_closing) {
        // A close that asks the form is an ordinary one; anything else after
        // the native window's close is the destructor at work.
        if (event->type() == QEvent::Close)
            m_closing = false;
        else
            goAway();
        return false;
    }
    watchNativeWindow();
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        dispatch(WindowSystem::activationMessages(m_window, event->type() == QEvent::WindowActivate), true);
        break;
    case QEvent::ActivationChange:
        m_active = QApplication::activeWindow() == m_window;
        reportActivations();
        break;
    default:
        break;
    }
    return false;
}

// The native window comes and goes with the form's platform window.
void WindowProcedure::watchNativeWindow()
{
    QWindow *native = m_window->windowHandle();
    if (native == m_nativeWindow)
        return;
    if (m_nativeWindow)
        m_nativeWindow->removeEventFilter(this);
    m_nativeWindow = native;
    if (native)
        native->installEventFilter(this);
}

void WindowProcedure::goAway()
{
    QList<QPointer<WindowProcedure>> going;
    for (WindowProcedure *procedure : std::as_const(procedures())) {
        if (procedure->m_window == m_window || m_window->isAncestorOf(procedure->m_window))
            going.append(procedure);
    }
    for (const QPointer<WindowProcedure> &procedure : std::as_const(going)) {
        if (!procedure)
            continue;
        const QList<QPointer<InterceptionBlock>> chain = procedure->m_chain;
        for (const QPointer<InterceptionBlock> &block : chain) {
            if (block)
                block->owner()->DropHook(block->index());
        }
    }
}

// Qt activates the new window before it deactivates the old one and moves the
// focus after both. Windows deactivates the old window first and restores the
// focus while it activates the new one. The after-calls follow Windows: a
// window's activation is reported once it has processed it, after every
// window that lost its activation has reported that, and after its focus has
// been given back. A state that was reported already is not reported again.
void WindowProcedure::reportActivations()
{
    QList<QPointer<WindowProcedure>> windows;
    for (WindowProcedure *procedure : std::as_const(procedures())) {
        if (procedure->m_window->isWindow())
            windows.append(procedure);
    }
    for (const QPointer<WindowProcedure> &procedure : std::as_const(windows)) {
        if (procedure && procedure->m_reportedActive && !procedure->m_active) {
            procedure->m_reportedActive = false;
            procedure->dispatch(WindowSystem::activationMessages(procedure->m_window, false), false);
        }
    }
    // A window that processed its activation but is no longer Qt's active
    // window is about to hear of its deactivation.
    for (const QPointer<WindowProcedure> &procedure : std::as_const(windows)) {
        if (procedure && procedure->m_active && QApplication::activeWindow() != procedure->m_window)
            return;
    }
    for (const QPointer<WindowProcedure> &procedure : std::as_const(windows)) {
        if (procedure && procedure->m_active && !procedure->m_reportedActive) {
            procedure->m_reportedActive = true;
            restoreFocus(procedure->m_window);
            if (procedure)
                procedure->dispatch(WindowSystem::activationMessages(procedure->m_window, true), false);
        }
    }
}

void ccXPButton::zSubclass_Proc(bool bBefore, bool &bHandled, std::int32_t &lReturn, std::int32_t &lng_hWnd,
                                std::int32_t &uMsg, std::int32_t &wParam, std::int32_t &lParam)
{
    // The button reacts alike before and after; the result stays as it is.
    Q_UNUSED(bBefore)
    Q_UNUSED(bHandled)
    Q_UNUSED(lReturn)
    Q_UNUSED(lng_hWnd)
    Q_UNUSED(lParam)
    switch (uMsg) {
    case WindowSystem::WmActivate:
    case WindowSystem::WmNcActivate:
        // Low word 0: inactive, also while the high word says "minimized".
        FormActivationChanged((wParam & LowWordMask) != 0);
        break;
    case WindowSystem::WmMouseLeave:
        PointerLeft();
        break;
    default:
        break;
    }
}

std::int32_t ccXPButton::HookAttach(std::int32_t lng_hWnd)
{
    QWidget *window = WindowSystem::window(lng_hWnd);
    if (!window)
        return NotFound;
    std::int32_t index = HookFind(lng_hWnd, true);
    if (index == NotFound) {
        pHooks.emplace_back();
        index = std::int32_t(pHooks.size() - 1);
    }
    HookRecord &record = pHooks[std::size_t(index)];
    record.Window = lng_hWnd;
    // Both lists of a new or reused entry are empty: until HookWatch, no
    // message of the window reaches the button.
    record.Block = new InterceptionBlock(this, std::size_t(index), window);
    return index;
}

void ccXPButton::HookWatch(std::int32_t lng_hWnd, std::int32_t uMsg, std::int32_t When)
{
    const std::int32_t index = HookFind(lng_hWnd, false);
    if (index == NotFound)
        return;
    HookRecord &record = pHooks[std::size_t(index)];
    if (When & HookBefore)
        HookListAdd(uMsg, record.BeforeMsgs, record.BeforeCount);
    if (When & HookAfter)
        HookListAdd(uMsg, record.AfterMsgs, record.AfterCount);
}

void ccXPButton::HookDetach(std::int32_t lng_hWnd)
{
    const std::int32_t index = HookFind(lng_hWnd, false);
    if (index != NotFound)
        DropHook(std::size_t(index));
}

// The last entry of the window (bAdd false) or the last free entry (bAdd true).
std::int32_t ccXPButton::HookFind(std::int32_t lng_hWnd, bool bAdd) const
{
    if (!bAdd && lng_hWnd == 0)
        return NotFound;
    const std::int32_t wanted = bAdd ? 0 : lng_hWnd;
    for (auto index = std::int32_t(pHooks.size()) - 1; index >= 0; --index) {
        if (pHooks[std::size_t(index)].Window == wanted)
            return index;
    }
    return NotFound;
}

// Adds a message to one list of a record. A message is never listed twice;
// once the list takes every message, adding a single one changes nothing.
void ccXPButton::HookListAdd(std::int32_t uMsg, QList<std::int32_t> &list, std::int32_t &count)
{
    if (uMsg == EveryMessage) {
        count = EveryMessage;
        return;
    }
    if (count == EveryMessage)
        return;
    for (std::int32_t i = 0; i < count; ++i) {
        if (list[i] == 0) {
            list[i] = uMsg;
            return;
        }
        if (list[i] == uMsg)
            return;
    }
    list.resize(count);
    list.append(uMsg);
    ++count;
}

// The entry is free from here on; the table keeps its size.
void ccXPButton::DropHook(std::size_t index)
{
    InterceptionBlock *block = pHooks[index].Block;
    pHooks[index] = HookRecord();
    delete block;
}

void ccXPButton::RunHooks(const QList<WindowMessage> &messages, bool bBefore)
{
    if (WindowProcedure *procedure = WindowProcedure::find(this); procedure && !messages.isEmpty())
        procedure->dispatch(messages, bBefore);
}

// While the form runs: the button's own window for the pointer leaving it,
// the form's window for its activation (WM_NCACTIVATE on an MDI child form).
// Properties read a second time find the hooks in place: hooking the same
// windows again would hand every watched message to the button twice.
void ccXPButton::InstallHooks()
{
    if (!UserMode() || HookFind(pHwnd, false) != NotFound)
        return;
    HookAttach(pHwnd);
    HookWatch(pHwnd, WindowSystem::WmMouseLeave, HookAfter);
    HookAttach(pHwndParent);
    const bool mdiChild = m_site && m_site->isMdiChild();
    HookWatch(pHwndParent, mdiChild ? WindowSystem::WmNcActivate : WindowSystem::WmActivate, HookAfter);
}

void ccXPButton::RemoveHooks()
{
    if (!UserMode())
        return;
    HookDetach(pHwnd);
    HookDetach(pHwndParent);
}

// A button that goes without Terminate leaves no hook behind.
void ccXPButton::ReleaseHooks()
{
    for (std::size_t index = 0; index < pHooks.size(); ++index)
        DropHook(index);
}
