#pragma once

#include "windowprocedure.h"

#include <QList>

#include <cstdint>
#include <functional>
#include <vector>

// One window whose messages a hook intercepts. The procedure that the hook
// replaced is not kept here: the window's own chain of hooks keeps the
// order, so that records can be detached in any order.
struct HookRecord
{
    std::int32_t window = 0; // 0: the entry is free
    WindowProcedure::Interception *interception = nullptr;
    std::int32_t afterCount = 0;  // entries of afterMessages in use; EveryMessage: every message
    std::int32_t beforeCount = 0; // entries of beforeMessages in use; EveryMessage: every message
    QList<std::int32_t> afterMessages;
    QList<std::int32_t> beforeMessages;
};

// The windows whose messages one control intercepts, by handle, and the
// messages it watches on each, before or after the window's own processing.
// Every watched message reaches the procedure the hook was made with. A
// window that is unknown or not hooked is ignored quietly.
//
// The hook only watches: every event reaches the window as without it, so
// bHandled cannot skip the window's processing and is ignored.
class MessageHook
{
public:
    // The bits of watch's `when`, and the message that stands for every message.
    static constexpr std::int32_t After = 1;
    static constexpr std::int32_t Before = 2;
    static constexpr std::int32_t EveryMessage = -1;
    // What attach and find give for a window they cannot place.
    static constexpr std::int32_t NotFound = -1;

    using Procedure = std::function<void(bool bBefore, bool &bHandled, std::int32_t &lReturn, std::int32_t &lng_hWnd,
                                         std::int32_t &uMsg, std::int32_t &wParam, std::int32_t &lParam)>;

    explicit MessageHook(Procedure procedure);
    // Detaches every window that is still hooked.
    ~MessageHook();
    Q_DISABLE_COPY_MOVE(MessageHook)

    // Hooks the window in the last free entry, or in a new one; returns the
    // entry, or NotFound for a window that does not exist. Until watch, no
    // message of the window reaches the procedure.
    std::int32_t attach(std::int32_t window);
    // Adds a message to the lists of the window's entry that `when` names.
    // A message is never listed twice; once a list takes every message,
    // adding a single one changes nothing.
    void watch(std::int32_t window, std::int32_t message, std::int32_t when);
    void detach(std::int32_t window);
    // The last entry of the window (freeEntry false) or the last free entry
    // (freeEntry true).
    std::int32_t find(std::int32_t window, bool freeEntry) const;
    void detachAll();

    // Every entry, free ones included: the table keeps its size.
    const std::vector<HookRecord> &records() const { return m_records; }

private:
    void drop(std::size_t index);
    void deliver(std::size_t index, bool bBefore, WindowMessage message);

    Procedure m_procedure;
    std::vector<HookRecord> m_records;
};
