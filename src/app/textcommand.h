#pragma once

#include <QPointer>
#include <QString>
#include <QUndoCommand>

class QLineEdit;

// One step of the chart's history that changes the heading or an axis
// title. Typing on in the same box makes one step of many keys, until the
// box is left (a new session).
class TextCommand : public QUndoCommand
{
public:
    // The box holds `after` already: the user typed it.
    TextCommand(QLineEdit *box, const QString &name, const QString &before, const QString &after, int session);

    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

private:
    static constexpr int Id = 1;

    QPointer<QLineEdit> m_box;
    QString m_before;
    QString m_after;
    int m_session;
    bool m_shown = true; // the box shows m_after
};
