#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
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

// A message box as it was shown: its text, and whether it lay within its
// screen.
struct ShownBox
{
    QString text;
    bool fitsScreen = false;
};

// Runs action and answers each message box it shows, in turn, by the button
// of the next caption; an empty caption, or none left, presses Return.
inline QList<ShownBox> answerMessageBoxes(const std::function<void()> &action, QStringList captions = {})
{
    QList<ShownBox> shown;
    QPointer<QMessageBox> answered;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == answered)
            return;
        answered = box;
        shown.append({box->text(), box->screen()->availableGeometry().contains(box->frameGeometry())});
        const QString caption = captions.isEmpty() ? QString() : captions.takeFirst();
        const auto buttons = box->buttons();
        const auto named = std::find_if(buttons.begin(), buttons.end(), [&](auto *button) { return button->text() == caption; });
        named != buttons.end() ? (*named)->click() : QTest::keyClick(box, Qt::Key_Return);
    });
    timer.start(5);
    action();
    return shown;
}
