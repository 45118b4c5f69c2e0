#include "ccxpbutton.h"

#include "controlsite.h"
#include "windowsystem.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <exception>

namespace {

// Mouse buttons and shift keys as the control runtime numbers them.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

// Key codes of the keys the button reacts to.
constexpr int KeyReturn = 13;
constexpr int KeySpace = 32;
constexpr int KeyLeft = 37;
constexpr int KeyUp = 38;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;
constexpr int KeyNone = 0;

const QString DisplayAsDefault = QStringLiteral("DisplayAsDefault");

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? LeftButton : 0) | (buttons & Qt::RightButton ? RightButton : 0)
         | (buttons & Qt::MiddleButton ? MiddleButton : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? ShiftMask : 0) | (modifiers & Qt::ControlModifier ? CtrlMask : 0)
         | (modifiers & Qt::AltModifier ? AltMask : 0);
}

int keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyReturn;
    case Qt::Key_Space: return KeySpace;
    case Qt::Key_Left: return KeyLeft;
    case Qt::Key_Up: return KeyUp;
    case Qt::Key_Right: return KeyRight;
    case Qt::Key_Down: return KeyDown;
    default: return KeyNone;
    }
}

} // namespace

// Raises an event to the host, whose handler runs to its end first. A handler
// that throws does not take the window down with it: the error ends the
// handler, not the button's reaction. Returns whether the button still
// exists, since a handler may delete it.
template<typename Emit>
bool ccXPButton::Raise(Emit emitEvent)
{
    const QPointer<ccXPButton> alive(this);
    try {
        emitEvent();
    } catch (const std::exception &error) {
        qWarning("ccXPButton: an event handler failed: %s", error.what());
    } catch (...) {
        qWarning("ccXPButton: an event handler failed");
    }
    return !alive.isNull();
}

void ccXPButton::PaintUnless(ButtonState state)
{
    if (pState != state)
        DrawButton(state);
}

void ccXPButton::WatchMouseLeave(std::int32_t window)
{
    WindowSystem::trackMouseLeave(window);
}

// Windows reports the pointer's position with a move whenever the window
// under it changes, and never twice for one position; Qt reports an entry
// separately and may repeat a position.
void ccXPButton::NotifyMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position)
{
    if (m_lastMove == position)
        return;
    m_lastMove = position;
    UserControl_MouseMove(buttonCode(buttons), shiftCode(modifiers), float(position.x()), float(position.y()));
}

void ccXPButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    // Qt tells a disabled widget of the pointer's entry too; Windows does not.
    if (isEnabled())
        NotifyMove(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(), event->position());
}

// The button is its own window's procedure: the hooks on it hear of a leave
// before and after the button's own processing. The reaction to leaving
// comes through them.
void ccXPButton::leaveEvent(QEvent *event)
{
    const QList<WindowMessage> messages = WindowSystem::leaveMessages(this);
    const QPointer<ccXPButton> alive(this);
    WindowProcedure::report(this, messages, true);
    if (!alive)
        return;
    QWidget::leaveEvent(event);
    m_lastMove.reset();
    WindowProcedure::report(this, messages, false);
}

// The mouse handlers do not call the base handlers, which would pass the
// events on to the form: the button takes them.
void ccXPButton::mousePressEvent(QMouseEvent *event)
{
    const QPointF position = event->position();
    UserControl_MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(position.x()),
                          float(position.y()));
}

void ccXPButton::mouseMoveEvent(QMouseEvent *event)
{
    NotifyMove(event->buttons(), event->modifiers(), event->position());
}

void ccXPButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF position = event->position();
    UserControl_MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(position.x()),
                        float(position.y()));
}

// Qt delivers a double click as press, release, double click, release; the
// double click stands in for the second press, as in the control runtime.
void ccXPButton::mouseDoubleClickEvent(QMouseEvent *)
{
    UserControl_DblClick();
}

void ccXPButton::keyPressEvent(QKeyEvent *event)
{
    const int code = keyCode(event);
    if (code == KeyNone) {
        QWidget::keyPressEvent(event);
        return;
    }
    UserControl_KeyDown(code, shiftCode(event->modifiers()));
}

void ccXPButton::keyReleaseEvent(QKeyEvent *event)
{
    // A held key repeats its key-down only, as on Windows; X11 also sends
    // releases for the repeats.
    const int code = keyCode(event);
    if (code == KeyNone) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        UserControl_KeyUp(code, shiftCode(event->modifiers()));
}

void ccXPButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    UserControl_GotFocus();
}

void ccXPButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    UserControl_LostFocus();
}

void ccXPButton::UserControl_MouseDown(int Button, int, float, float)
{
    pLastButton = std::int16_t(Button);
    if (Button != LeftButton)
        return;
    pHasFocus = true;
    pArmed = true;
    pMouseDown = true;
    PaintUnless(ButtonState::Pressed);
}

void ccXPButton::UserControl_MouseMove(int Button, int Shift, float x, float y)
{
    // Both bounds count as inside.
    pMouseOver = x >= 0 && x <= width() && y >= 0 && y <= height();
    if (pMouseOver)
        WatchMouseLeave(pHwnd);
    if (!pFormActive || pSpaceDown)
        return;

    if (pMouseOver && pArmed)
        PaintUnless(ButtonState::Pressed);
    else if (pMouseOver)
        PaintUnless(ButtonState::Hot);
    else if (pHasFocus)
        PaintUnless(ButtonState::Focused);
    else
        PaintUnless(ButtonState::Normal);
    Raise([&] { emit MouseMove(Button, Shift, x, y); });
}

void ccXPButton::UserControl_MouseUp(int Button, int, float, float)
{
    if (Button != LeftButton)
        return;
    if (pFormActive) {
        if (pMouseOver)
            PaintUnless(ButtonState::Hot);
        else if (pHasFocus)
            DrawButton(ButtonState::Focused);
        if (pMouseOver && pHasFocus && pArmed && !Raise([this] { emit Click(); }))
            return;
    }
    // After the host's Click handler, and also while the form is inactive.
    pArmed = false;
    pMouseDown = false;
}

void ccXPButton::UserControl_DblClick()
{
    if (pLastButton != LeftButton)
        return;
    DrawButton(ButtonState::Pressed);
    Raise([this] { emit DblClick(); });
}

void ccXPButton::UserControl_KeyDown(int KeyCode, int)
{
    switch (KeyCode) {
    case KeyReturn:
        Raise([this] { emit Click(); });
        break;
    case KeySpace:
        if (pMouseDown)
            break;
        pSpaceDown = true;
        pArmed = true;
        PaintUnless(ButtonState::Pressed);
        break;
    case KeyLeft:
    case KeyUp:
        focusNextPrevChild(false);
        break;
    case KeyRight:
    case KeyDown:
        focusNextPrevChild(true);
        break;
    default:
        break;
    }
}

void ccXPButton::UserControl_KeyUp(int KeyCode, int)
{
    if (KeyCode != KeySpace)
        return;
    if (pMouseDown) {
        // Ignored while the mouse button is held, but Space is up now: a
        // flag left set would keep the button deaf to the pointer.
        pSpaceDown = false;
        return;
    }
    if (pMouseOver)
        PaintUnless(ButtonState::Hot);
    else
        DrawButton(ButtonState::Focused);
    if (pArmed && !Raise([this] { emit Click(); }))
        return;
    pSpaceDown = false;
    pArmed = false;
}

void ccXPButton::UserControl_AccessKeyPress(int)
{
    if (!pEnabled)
        return;
    if (pSpaceDown) {
        // The access key cancels a press of Space.
        pSpaceDown = false;
        pArmed = false;
        if (pMouseOver)
            PaintUnless(ButtonState::Hot);
        else
            DrawButton(ButtonState::Focused);
        return;
    }
    const QPointer<ccXPButton> alive(this);
    QCoreApplication::processEvents();
    if (alive)
        Raise([this] { emit Click(); });
}

void ccXPButton::UserControl_GotFocus()
{
    pHasFocus = true;
    if (pMouseOver) {
        if (pState != ButtonState::Hot && pState != ButtonState::Pressed)
            DrawButton(ButtonState::Hot);
    } else if (!pArmed) {
        DrawButton(ButtonState::Focused);
    }
}

void ccXPButton::UserControl_LostFocus()
{
    pHasFocus = false;
    pArmed = false;
    pSpaceDown = false;
    if (!pEnabled)
        return;
    if (!pFormActive)
        PaintUnless(ButtonState::Normal);
    else if (pMouseOver)
        PaintUnless(ButtonState::Hot);
    else if (pIsDefault)
        DrawButton(ButtonState::Focused);
    else
        PaintUnless(ButtonState::Normal);
}

void ccXPButton::UserControl_AmbientChanged(const QString &PropertyName)
{
    pIsDefault = m_site && m_site->displayAsDefault();
    if (!pEnabled || pMouseOver || PropertyName != DisplayAsDefault)
        return;
    if (pIsDefault)
        DrawButton(ButtonState::Focused);
    else
        PaintUnless(ButtonState::Normal);
}

void ccXPButton::FormActivationChanged(bool active)
{
    if (active) {
        pFormActive = true;
        if (pEnabled) {
            if (pMouseOver)
                PaintUnless(ButtonState::Hot);
            else if (pHasFocus || pIsDefault)
                DrawButton(ButtonState::Focused);
        }
        Raise([this] { emit FormActivate(1); });
        return;
    }
    // Deactivation ends every press in progress without a Click.
    pFormActive = false;
    pArmed = false;
    pMouseDown = false;
    pSpaceDown = false;
    if (pEnabled)
        PaintUnless(ButtonState::Normal);
    Raise([this] { emit FormActivate(0); });
}

void ccXPButton::PointerLeft()
{
    pMouseOver = false;
    if (pSpaceDown || pState == ButtonState::Disabled)
        return;
    if (!pHasFocus && !pIsDefault) {
        PaintUnless(ButtonState::Normal);
    } else if (pState == ButtonState::Pressed) {
        DrawButton(pArmed ? ButtonState::Focused : ButtonState::Normal);
    } else if (pState != ButtonState::Focused && pFormActive) {
        DrawButton(ButtonState::Focused);
    }
}
