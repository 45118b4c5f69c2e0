#pragma once

#include <QList>

#include <cstdint>

class QWidget;

// A window message as the button's message hook sees it.
struct WindowMessage
{
    std::int32_t uMsg = 0;
    std::int32_t wParam = 0;
    std::int32_t lParam = 0;
};

// The few services of the Windows window manager that the push button relies
// on, in Qt terms: 32-bit window handles that stay the same for a widget's
// life, the one-shot notice that the pointer has left a window, and the
// window messages that stand for a leave and for a change of activation.
class WindowSystem
{
public:
    static constexpr std::int32_t WmActivate = 6;
    static constexpr std::int32_t WmNcActivate = 134;
    static constexpr std::int32_t WmMouseLeave = 675;
    static constexpr std::int32_t WaActive = 1;
    // wParam of WM_ACTIVATE carries "minimized" in its high 16 bits.
    static constexpr std::int32_t MinimizedFlag = 0x10000;

    // The handle of a widget, assigned on first use; 0 for no widget.
    // Handles are never reused within a run.
    static std::int32_t handleOf(QWidget *window);
    // The widget of a handle, or null when it is unknown or gone.
    static QWidget *window(std::int32_t handle);

    // Asks for one WM_MOUSELEAVE to the window when the pointer next leaves
    // it. Asking again before that changes nothing: one leave, one message.
    static void trackMouseLeave(std::int32_t handle);

    // What a leave of the window stands for: WM_MOUSELEAVE when one was
    // asked for, which uses the request up; nothing otherwise. The window's
    // own leave processing asks this: only the push button does.
    static QList<WindowMessage> leaveMessages(QWidget *window);
    // What a change of a top-level window's activation stands for, in the
    // order Windows sends it: WM_NCACTIVATE, then WM_ACTIVATE.
    static QList<WindowMessage> activationMessages(QWidget *window, bool active);
};
