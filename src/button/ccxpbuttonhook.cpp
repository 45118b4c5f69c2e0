#include "ccxpbutton.h"

#include "controlsite.h"
#include "windowsystem.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

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

} // namespace

class WindowProcedure;

// What one hook record puts between a window and its processing: it hands
// the record's watched messages to the button's zSubclass_Proc, before or
// after the rest of the window's procedure chain, and passes everything else
// on untouched. It reads the record's lists as they are at each message.
class InterceptionBlock : public QObject
{
public:
    InterceptionBlock(ccXPButton *owner, std::size_t index, QWidget *window);
    ~InterceptionBlock() override;

    bool watches(std::int32_t uMsg) const;
    std::int32_t run(WindowMessage &message, const std::function<std::int32_t()> &previous);

private:
    const HookRecord &record() const { return m_owner->hooks()[m_index]; }
    void call(bool bBefore, bool &bHandled, std::int32_t &lReturn, WindowMessage &message);

    ccXPButton *m_owner;
    std::size_t m_index;
    std::int32_t m_window;
    QPointer<WindowProcedure> m_procedure;
};

// The procedure chain of one hooked window: the blocks of every hook on it,
// in the order they were attached, standing for the window procedures that
// replaced one another. It is the one event filter of the hooks on the
// window. A watched message runs down the chain to the window's own
// processing and back up, so the block attached first is called back first,
// after the window has processed the event. A block leaves the chain wherever
// it stands, so hooks can be detached in any order.
class WindowProcedure : public QObject
{
public:
    static WindowProcedure *of(QWidget *window);
    ~WindowProcedure() override;

    void append(InterceptionBlock *block);
    void remove(InterceptionBlock *block);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Chain = QList<QPointer<InterceptionBlock>>;

    explicit WindowProcedure(QWidget *window);
    static std::int32_t call(const Chain &chain, qsizetype index, WindowMessage &message,
                             const std::function<std::int32_t()> &processEvent);
    bool watchesAny(const QList<WindowMessage> &messages) const;
    void releaseIfUnused();

    QWidget *m_window;
    Chain m_chain;
    // Events handed back to the window for its own processing, which this
    // filter lets through.
    QList<const QEvent *> m_processing;
    int m_dispatchDepth = 0;
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

bool InterceptionBlock::watches(std::int32_t uMsg) const
{
    const HookRecord &hook = record();
    return listMatches(hook.BeforeCount, hook.BeforeMsgs, uMsg) || listMatches(hook.AfterCount, hook.AfterMsgs, uMsg);
}

std::int32_t InterceptionBlock::run(WindowMessage &message, const std::function<std::int32_t()> &previous)
{
    std::int32_t lReturn = 0;
    bool bHandled = false;
    const QPointer<InterceptionBlock> alive(this);
    if (listMatches(record().BeforeCount, record().BeforeMsgs, message.uMsg))
        call(true, bHandled, lReturn, message);
    if (!bHandled)
        lReturn = previous();
    // A host handler further down may have detached this hook or deleted its button.
    if (alive && listMatches(record().AfterCount, record().AfterMsgs, message.uMsg))
        call(false, bHandled, lReturn, message);
    return lReturn;
}

void InterceptionBlock::call(bool bBefore, bool &bHandled, std::int32_t &lReturn, WindowMessage &message)
{
    std::int32_t window = m_window;
    try {
        m_owner->zSubclass_Proc(bBefore, bHandled, lReturn, window, message.uMsg, message.wParam, message.lParam);
    } catch (...) {
        // A failure of the callback never reaches the window's processing.
    }
}

WindowProcedure *WindowProcedure::of(QWidget *window)
{
    if (WindowProcedure *existing = procedures().value(window))
        return existing;
    auto *procedure = new WindowProcedure(window);
    procedures().insert(window, procedure);
    window->installEventFilter(procedure);
    return procedure;
}

WindowProcedure::WindowProcedure(QWidget *window)
    : QObject(window)
    , m_window(window)
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

void WindowProcedure::remove(InterceptionBlock *block)
{
    m_chain.removeAll(block);
    releaseIfUnused();
}

bool WindowProcedure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || m_processing.contains(event))
        return false;
    QList<WindowMessage> messages = WindowSystem::messagesFor(m_window, event);
    if (!watchesAny(messages))
        return false;

    // The window processes the event once, as the innermost procedure of the
    // first message; the events it is handed back pass this filter untouched.
    const QPointer<WindowProcedure> alive(this);
    bool processed = false;
    std::int32_t result = 0;
    const auto processEvent = [&]() -> std::int32_t {
        if (!processed) {
            processed = true;
            m_processing.append(event);
            result = QCoreApplication::sendEvent(m_window, event) ? 1 : 0;
            if (alive)
                m_processing.removeOne(event);
        }
        return result;
    };

    ++m_dispatchDepth;
    const Chain chain = m_chain; // host handlers may attach and detach meanwhile
    for (WindowMessage &message : messages)
        call(chain, chain.size() - 1, message, processEvent);
    if (alive) {
        --m_dispatchDepth;
        releaseIfUnused();
    }
    return true;
}

std::int32_t WindowProcedure::call(const Chain &chain, qsizetype index, WindowMessage &message,
                                   const std::function<std::int32_t()> &processEvent)
{
    while (index >= 0 && !chain[index])
        --index;
    if (index < 0)
        return processEvent();
    return chain[index]->run(message, [&] { return call(chain, index - 1, message, processEvent); });
}

bool WindowProcedure::watchesAny(const QList<WindowMessage> &messages) const
{
    for (const QPointer<InterceptionBlock> &block : m_chain) {
        for (const WindowMessage &message : messages) {
            if (block && block->watches(message.uMsg))
                return true;
        }
    }
    return false;
}

void WindowProcedure::releaseIfUnused()
{
    m_chain.removeIf([](const QPointer<InterceptionBlock> &block) { return block.isNull(); });
    if (!m_chain.isEmpty() || m_dispatchDepth > 0)
        return;
    if (procedures().value(m_window) == this)
        procedures().remove(m_window);
    m_window->removeEventFilter(this);
    deleteLater();
}

void ccXPButton::zSubclass_Proc(bool bBefore, bool &bHandled, std::int32_t &lReturn, std::int32_t &lng_hWnd,
                                std::int32_t &uMsg, std::int32_t &wParam, std::int32_t &lParam)
{
    // Every watch is after the window's processing; the result stays as it is.
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
    // Both lists of a new or reused entry are empty: until HookWatch, every
    // message passes straight through.
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
    if (index == NotFound)
        return;
    HookRecord &record = pHooks[std::size_t(index)];
    InterceptionBlock *block = record.Block;
    // The entry is free from here on; the table keeps its size.
    record = HookRecord();
    delete block;
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
    for (HookRecord &record : pHooks) {
        InterceptionBlock *block = record.Block;
        record = HookRecord();
        delete block;
    }
}
