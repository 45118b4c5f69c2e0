#pragma once

#include "buttonpainter.h"
#include "colours.h"
#include "drawingsurface.h"
#include "fontobject.h"
#include "messagehook.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class ControlSite;
class PropertyBag;

// An XP-style push button with rounded corners that paints itself pixel by
// pixel into a retained picture, in five looks.
class ccXPButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool FocusRect READ FocusRect WRITE SetFocusRect)
    Q_CLASSINFO("FocusRect", "Displays a rect inside button border when the control has the focus.")

public:
    explicit ccXPButton(QWidget *parent = nullptr);
    ~ccXPButton() override;

    // The host services of the form that holds the button. Without a site the
    // button acts as on a form being designed: it registers no access key,
    // notifies no property change and hooks nothing.
    void setSite(ControlSite *site);

    // Life cycle, called by the host.
    void Initialize();
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    void Terminate();

    void SnapMouseTo();
    std::int32_t hWnd() const { return pHwnd; }
    QString Caption() const { return pCaption; }
    void SetCaption(const QString &NewValue);
    bool Enabled() const { return pEnabled; }
    void SetEnabled(bool NewValue);
    // The font object itself: changing one of its attributes repaints the
    // button. An empty (null) font is stored as given; the caption is then
    // drawn in the default control font.
    SharedFont Font() const { return pFONT; }
    void SetFont(const SharedFont &NewValue);
    OleColor ForeColor() const { return pForeColor; }
    void SetForeColor(OleColor NewValue);
    bool FocusRect() const { return pFocusRect; }
    void SetFocusRect(bool NewValue);

    // Paints the whole button in the given look and records it; does nothing
    // while the paint lock is set.
    void DrawButton(ButtonState state);

    // The window message hook. ReadProperties hooks the button's own window
    // and its form's window while the form runs; Terminate removes both, and
    // a form that is destroyed without Terminate drops them silently as it
    // starts to go away. The operations are open to the host, and end quietly
    // on a window that is unknown or not hooked.
    //
    // The hook only watches: every event reaches the window as without it.
    // Messages watched before reach zSubclass_Proc before the window's own
    // processing, those watched after once it is done; since nothing is held
    // back, bHandled cannot skip the window's processing and is ignored.
    void zSubclass_Proc(bool bBefore, bool &bHandled, std::int32_t &lReturn, std::int32_t &lng_hWnd,
                        std::int32_t &uMsg, std::int32_t &wParam, std::int32_t &lParam);
    std::int32_t HookAttach(std::int32_t lng_hWnd);
    void HookWatch(std::int32_t lng_hWnd, std::int32_t uMsg, std::int32_t When);
    void HookDetach(std::int32_t lng_hWnd);
    std::int32_t HookFind(std::int32_t lng_hWnd, bool bAdd) const;
    // The bits of HookWatch's When, and the message that stands for every message.
    static constexpr std::int32_t HookAfter = MessageHook::After;
    static constexpr std::int32_t HookBefore = MessageHook::Before;
    static constexpr std::int32_t EveryMessage = MessageHook::EveryMessage;
    // The windows the button has hooked, and what it watches on each.
    const MessageHook &hook() const { return m_hook; }

    // For the host and for tests: what the button last painted.
    ButtonState paintedState() const { return pState; }
    bool isPaintLocked() const { return pPaintLock; }
    const DrawingSurface &surface() const { return m_surface; }

signals:
    void Click();
    void DblClick();
    void MouseMove(int Button, int Shift, float x, float y);
    void FormActivate(int State);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // painting
    void InitColours();
    void UserControl_Resize();
    void ApplyShape();

    // input: the notifications of the control runtime and their reactions
    void NotifyMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);
    void UserControl_MouseDown(int Button, int Shift, float x, float y);
    void UserControl_MouseMove(int Button, int Shift, float x, float y);
    void UserControl_MouseUp(int Button, int Shift, float x, float y);
    void UserControl_DblClick();
    void UserControl_KeyDown(int KeyCode, int Shift);
    void UserControl_KeyUp(int KeyCode, int Shift);
    void UserControl_AccessKeyPress(int KeyAscii);
    void UserControl_GotFocus();
    void UserControl_LostFocus();
    void UserControl_AmbientChanged(const QString &PropertyName);
    void FormActivationChanged(bool active);
    void PointerLeft();
    void WatchMouseLeave(std::int32_t window);
    void PaintUnless(ButtonState state);
    template<typename Emit>
    bool Raise(Emit emitEvent);

    // message hook
    void InstallHooks();
    void RemoveHooks();

    // properties and life cycle
    QString ParseAccessKey() const;
    void pFONT_FontChanged(const QString &PropertyName);
    void AttachFont(const SharedFont &font);
    void NotifyChanged(const QString &key);
    bool UserMode() const;
    QWidget *ParentForm() const;

    // The button's fields. Flags and integers start as false and 0 and the
    // look as Disabled; the paint lock is set from creation until the
    // properties are known.
    MessageHook m_hook{std::bind_front(&ccXPButton::zSubclass_Proc, this)};
    std::int16_t pLastButton = 0;
    bool pPaintLock = true;
    bool pArmed = false;
    bool pHasFocus = false;
    bool pMouseOver = false;
    ButtonColours pColours;
    bool pFormActive = false;
    bool pSpaceDown = false;
    bool pMouseDown = false;
    bool pIsDefault = false;
    std::int32_t pHwndParent = 0;
    ButtonState pState = ButtonState::Disabled;
    std::int32_t pHwnd = 0;
    QString pCaption;
    bool pEnabled = false;
    OleColor pForeColor = 0;
    bool pFocusRect = false;
    SharedFont pFONT;
    // The machine-code template of the Windows hook and the two addresses it
    // calls have no counterpart here: the window's procedure chain in the
    // hook stands in for them.

    // What the host gives the button on Qt: its site, the drawing surface
    // behind its client area, the size its window shape was made for, and
    // the pointer position last reported as a move.
    QPointer<ControlSite> m_site;
    DrawingSurface m_surface;
    QSize m_shapeSize;
    std::optional<QPointF> m_lastMove;
};
