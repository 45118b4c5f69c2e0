#include "windowsystem.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace {

// Windows hands out handles that are multiples of 4 in a range well away
// from 0; so do we, so that a handle never looks like a small number.
constexpr std::int32_t FirstHandle = 0x00010010;
constexpr std::int32_t HandleStep = 4;

struct HandleTable
{
    QHash<const QWidget *, std::int32_t> handles;
    QHash<std::int32_t, QPointer<QWidget>> widgets;
    QSet<std::int32_t> leaveRequests;
    std::int32_t next = FirstHandle;
};

// Everything here runs on the user-interface thread.
HandleTable &table()
{
    static HandleTable instance;
    return instance;
}

} // namespace

std::int32_t WindowSystem::handleOf(QWidget *window)
{
    if (!window)
        return 0;
    HandleTable &handles = table();
    if (const auto found = handles.handles.constFind(window); found != handles.handles.cend())
        return *found;
    const std::int32_t handle = handles.next;
    handles.next += HandleStep;
    handles.handles.insert(window, handle);
    handles.widgets.insert(handle, window);
    QObject::connect(window, &QObject::destroyed, [handle, window] {
        table().handles.remove(window);
        table().widgets.remove(handle);
        table().leaveRequests.remove(handle);
    });
    return handle;
}

QWidget *WindowSystem::window(std::int32_t handle)
{
    return table().widgets.value(handle);
}

void WindowSystem::trackMouseLeave(std::int32_t handle)
{
    if (window(handle))
        table().leaveRequests.insert(handle);
}

QList<WindowMessage> WindowSystem::leaveMessages(QWidget *window)
{
    if (table().leaveRequests.remove(handleOf(window)))
        return {{WmMouseLeave, 0, 0}};
    return {};
}

QList<WindowMessage> WindowSystem::activationMessages(QWidget *window, bool active)
{
    const std::int32_t state = (active ? WaActive : 0) | (window->isMinimized() ? MinimizedFlag : 0);
    return {{WmNcActivate, active ? 1 : 0, 0}, {WmActivate, state, 0}};
}
