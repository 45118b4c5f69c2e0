#pragma once

#include "windowsystem.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QEvent;
class QWidget;
class QWindow;

// What the hooks of one window learn of it. It watches and never holds an
// event back or sends one again, so the window, its children and every other
// filter get each event once and as it was sent.
//
// - A button's leave: the button is that window's procedure and reports it
//   itself, before and after its own processing (report).
// - A top-level window's activation: before-calls as the window receives
//   WindowActivate or WindowDeactivate; after-calls once Qt has told the
//   window and its children (ActivationChange), in Windows' order (see
//   reportActivations).
// - A form that starts to go away: ~QWidget closes the form's native window
//   without asking the form, then hides it, which deactivates it. By then the
//   host's part of the form has been destroyed, so every hook on the form and
//   on its children is dropped there, silently.
//
// Everything here runs on the user-interface thread.
class WindowProcedure : public QObject
{
public:
    // What one hook puts on a window: the window's messages reach its
    // listener from the moment it is made until it is deleted. The window's
    // procedure keeps the order in which hooks were put on it, so that they
    // can be taken off in any order.
    class Interception : public QObject
    {
    public:
        using Listener = std::function<void(bool bBefore, const WindowMessage &message)>;
        // Asks the hook's owner to let go of the interception (and delete
        // it) without a word to anyone: the window is going away.
        using Drop = std::function<void()>;

        Interception(QWidget *window, Listener listener, Drop drop);
        ~Interception() override;

    private:
        friend class WindowProcedure;

        Listener m_listener;
        Drop m_drop;
        QPointer<WindowProcedure> m_procedure;
    };

    // What the window's own processing of an event stands for, handed to the
    // hooks on it: before-calls from the hook put on last first, after-calls
    // from the hook put on first first. Nothing happens without a hook.
    static void report(QWidget *window, const QList<WindowMessage> &messages, bool bBefore);

    ~WindowProcedure() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowProcedure(QWidget *window);
    static WindowProcedure *of(QWidget *window);
    static WindowProcedure *find(const QWidget *window);

    void append(Interception *interception);
    void remove(Interception *interception);
    void dispatch(const QList<WindowMessage> &messages, bool bBefore);
    void watchNativeWindow();
    void goAway();
    static void reportActivations();

    QWidget *m_window;
    QList<QPointer<Interception>> m_chain; // in the order put on
    QPointer<QWindow> m_nativeWindow;
    // The native window was closed and the form has not been asked: the form
    // is being destroyed.
    bool m_closing = false;
    // The activation the window last processed, and the one last reported to
    // the after-calls.
    bool m_active = false;
    bool m_reportedActive = false;
};
