#include "ccxpbutton.h"

#include "controlsite.h"
#include "windowsystem.h"

namespace {

constexpr std::int32_t LowWordMask = 0xFFFF;

} // namespace

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
    return m_hook.attach(lng_hWnd);
}

void ccXPButton::HookWatch(std::int32_t lng_hWnd, std::int32_t uMsg, std::int32_t When)
{
    m_hook.watch(lng_hWnd, uMsg, When);
}

void ccXPButton::HookDetach(std::int32_t lng_hWnd)
{
    m_hook.detach(lng_hWnd);
}

std::int32_t ccXPButton::HookFind(std::int32_t lng_hWnd, bool bAdd) const
{
    return m_hook.find(lng_hWnd, bAdd);
}

// While the form runs: the button's own window for the pointer leaving it,
// the form's window for its activation (WM_NCACTIVATE on an MDI child form).
// Properties read a second time find the hooks in place: hooking the same
// windows again would hand every watched message to the button twice.
void ccXPButton::InstallHooks()
{
    if (!UserMode() || HookFind(pHwnd, false) != MessageHook::NotFound)
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
