#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal dialog of type Dialog as soon as it is shown, by
// handing it to answer(); records whether one came. Modal dialogs run their
// own event loop, so the answer has to come from a timer.
template<typename Dialog>
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(Dialog *)> answer)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this, answer] {
            auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            m_timer.stop();
            m_seen = true;
            answer(dialog);
        });
        m_timer.start();
    }

    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_seen = false;
};
