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
    std::int32_t hWnd() const { return m_handle; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    // The font object itself: changing one of its attributes repaints the
    // button. An empty (null) font is stored as given; the caption is then
    // drawn in the default control font.
    SharedFont Font() const { return m_font; }
    void SetFont(const SharedFont &font);
    OleColor ForeColor() const { return m_foreColor; }
    void SetForeColor(OleColor colour);
    bool FocusRect() const { return m_focusRect; }
    void SetFocusRect(bool focusRect);

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
    ButtonState paintedState() const { return m_state; }
    bool isPaintLocked() const { return m_paintLocked; }
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
    // input: the reactions of the state machine
    void reportMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);
    void followPointer(int button, int shift, float x, float y);
    void releaseSpace();
    void clickByAccessKey();
    void updateFromAmbient(const QString &property);
    void setFormActive(bool active);
    void forgetPointer();
    void paintIfLookChanges(ButtonState look);
    template<typename Emit>
    bool raiseEvent(Emit emitEvent);

    // painting
    void enforceMinimumSize();
    void applyShape();

    // message hook
    void installHooks();
    void removeHooks();

    // properties and life cycle
    QString accessKey() const;
    void applyFont();
    void attachFont(const SharedFont &font);
    void notifyChanged(const QString &key);
    bool userMode() const;
    QWidget *parentForm() const;

    // The button's state. Flags and integers start as false and 0 and the
    // look as Disabled; the paint lock is set from creation until the
    // properties are known.
    MessageHook m_hook{std::bind_front(&ccXPButton::zSubclass_Proc, this)};
    Qt::MouseButton m_lastButton = Qt::NoButton; // the button of the last press
    bool m_paintLocked = true;
    bool m_armed = false;     // a release (of the mouse button or Space) clicks
    bool m_hasFocus = false;
    bool m_mouseOver = false;
    ButtonColours m_colours;
    bool m_formActive = false;
    bool m_spaceDown = false;
    bool m_mouseDown = false;
    bool m_isDefault = false; // the form shows the button as its default button
    std::int32_t m_formHandle = 0;
    ButtonState m_state = ButtonState::Disabled; // the look last painted
    std::int32_t m_handle = 0;
    QString m_caption;
    bool m_enabled = false;
    OleColor m_foreColor = 0;
    bool m_focusRect = false;
    SharedFont m_font;

    // What the host gives the button on Qt: its site, the drawing surface
    // behind its client area, the size its window shape was made for, and
    // the pointer position last reported as a move.
    QPointer<ControlSite> m_site;
    DrawingSurface m_surface;
    QSize m_shapeSize;
    std::optional<QPointF> m_lastMove;
};
