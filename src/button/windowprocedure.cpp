#include "windowprocedure.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QWidget>
#include <QWindow>

namespace {

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

QHash<const QWidget *, WindowProcedure *> &procedures()
{
    static QHash<const QWidget *, WindowProcedure *> all;
    return all;
}

} // namespace

WindowProcedure::Interception::Interception(QWidget *window, Listener listener, Drop drop)
    : m_listener(std::move(listener))
    , m_drop(std::move(drop))
    , m_procedure(WindowProcedure::of(window))
{
    m_procedure->append(this);
}

WindowProcedure::Interception::~Interception()
{
    if (m_procedure)
        m_procedure->remove(this);
}

void WindowProcedure::report(QWidget *window, const QList<WindowMessage> &messages, bool bBefore)
{
    if (WindowProcedure *procedure = find(window); procedure && !messages.isEmpty())
        procedure->dispatch(messages, bBefore);
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

void WindowProcedure::append(Interception *interception)
{
    m_chain.append(interception);
}

// An interception leaves the chain wherever it stands, so hooks can be taken
// off in any order. The last one takes the procedure with it.
void WindowProcedure::remove(Interception *interception)
{
    m_chain.removeIf([interception](const QPointer<Interception> &entry) {
        return entry.isNull() || entry == interception;
    });
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

// On Windows a message runs down the chain from the hook put on last to the
// window's own procedure and back up: before-calls come from the hook put on
// last first, after-calls from the hook put on first first.
void WindowProcedure::dispatch(const QList<WindowMessage> &messages, bool bBefore)
{
    const QList<QPointer<Interception>> chain = m_chain; // handlers may attach and detach meanwhile
    for (const WindowMessage &message : messages) {
        for (qsizetype i = 0; i < chain.size(); ++i) {
            const QPointer<Interception> &interception = chain[bBefore ? chain.size() - 1 - i : i];
            if (interception)
                interception->m_listener(bBefore, message);
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
        const QList<QPointer<Interception>> chain = procedure->m_chain;
        for (const QPointer<Interception> &interception : chain) {
            if (interception)
                interception->m_drop();
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
