#include "textcommand.h"

#include <QLineEdit>

TextCommand::TextCommand(QLineEdit *box, const QString &name, const QString &before, const QString &after, int session)
    : QUndoCommand(name)
    , m_box(box)
    , m_before(before)
    , m_after(after)
    , m_session(session)
{
}

bool TextCommand::mergeWith(const QUndoCommand *other)
{
    const auto *typed = static_cast<const TextCommand *>(other);
    if (typed->m_box != m_box || typed->m_session != m_session)
        return false;
    m_after = typed->m_after;
    // Typed back to what it was: no step at all.
    setObsolete(m_after == m_before);
    return true;
}

void TextCommand::undo()
{
    m_shown = false;
    if (m_box)
        m_box->setText(m_before);
}

void TextCommand::redo()
{
    // The first redo is the typing itself: setting the text again would
    // move the cursor to the end of it.
    if (m_shown)
        return;
    m_shown = true;
    if (m_box)
        m_box->setText(m_after);
}
