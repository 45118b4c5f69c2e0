#include "messagehook.h"

namespace {

bool listMatches(std::int32_t count, const QList<std::int32_t> &list, std::int32_t message)
{
    if (count == MessageHook::EveryMessage)
        return true;
    for (qsizetype i = 0; i < count && i < list.size(); ++i) {
        if (list[i] == message)
            return true;
    }
    return false;
}

void addMessage(std::int32_t message, QList<std::int32_t> &list, std::int32_t &count)
{
    if (message == MessageHook::EveryMessage) {
        count = MessageHook::EveryMessage;
        return;
    }
    if (count == MessageHook::EveryMessage)
        return;
    for (std::int32_t i = 0; i < count; ++i) {
        if (list[i] == 0) {
            list[i] = message;
            return;
        }
        if (list[i] == message)
            return;
    }
    list.resize(count);
    list.append(message);
    ++count;
}

} // namespace

MessageHook::MessageHook(Procedure procedure)
    : m_procedure(std::move(procedure))
{
}

MessageHook::~MessageHook()
{
    detachAll();
}

std::int32_t MessageHook::attach(std::int32_t window)
{
    QWidget *widget = WindowSystem::window(window);
    if (!widget)
        return NotFound;
    std::int32_t index = find(window, true);
    if (index == NotFound) {
        m_records.emplace_back();
        index = std::int32_t(m_records.size() - 1);
    }
    HookRecord &record = m_records[std::size_t(index)];
    record.window = window;
    // Both lists of a new or reused entry are empty. The lists are read as
    // they are at each message.
    const auto entry = std::size_t(index);
    record.interception = new WindowProcedure::Interception(
        widget, [this, entry](bool bBefore, const WindowMessage &message) { deliver(entry, bBefore, message); },
        [this, entry] { drop(entry); });
    return index;
}

void MessageHook::watch(std::int32_t window, std::int32_t message, std::int32_t when)
{
    const std::int32_t index = find(window, false);
    if (index == NotFound)
        return;
    HookRecord &record = m_records[std::size_t(index)];
    if (when & Before)
        addMessage(message, record.beforeMessages, record.beforeCount);
    if (when & After)
        addMessage(message, record.afterMessages, record.afterCount);
}

void MessageHook::detach(std::int32_t window)
{
    const std::int32_t index = find(window, false);
    if (index != NotFound)
        drop(std::size_t(index));
}

std::int32_t MessageHook::find(std::int32_t window, bool freeEntry) const
{
    if (!freeEntry && window == 0)
        return NotFound;
    const std::int32_t wanted = freeEntry ? 0 : window;
    for (auto index = std::int32_t(m_records.size()) - 1; index >= 0; --index) {
        if (m_records[std::size_t(index)].window == wanted)
            return index;
    }
    return NotFound;
}

void MessageHook::detachAll()
{
    for (std::size_t index = 0; index < m_records.size(); ++index)
        drop(index);
}

// The entry is free from here on; the table keeps its size.
void MessageHook::drop(std::size_t index)
{
    WindowProcedure::Interception *interception = m_records[index].interception;
    m_records[index] = HookRecord();
    delete interception;
}

void MessageHook::deliver(std::size_t index, bool bBefore, WindowMessage message)
{
    const HookRecord &record = m_records[index];
    const bool watched = bBefore ? listMatches(record.beforeCount, record.beforeMessages, message.uMsg)
                                 : listMatches(record.afterCount, record.afterMessages, message.uMsg);
    if (!watched)
        return;
    bool bHandled = false;
    std::int32_t lReturn = 0;
    std::int32_t window = record.window;
    try {
        m_procedure(bBefore, bHandled, lReturn, window, message.uMsg, message.wParam, message.lParam);
    } catch (...) {
        // A failure of the procedure never reaches the window's processing.
    }
}
