#include "formdialogs.h"

#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace FormDialogs {

namespace {

const QString Title = QStringLiteral("Plinthos");

// QMessageBox keeps its text to a column about 500 pixels wide at any
// resolution, and lets it grow to the full width of a small screen: a long
// path makes it taller or wider than the screen. This box widens the column
// as far as the screen's height needs, and keeps within the screen.
class MessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event); // sizes the box for its text
        fitToScreen();
    }

private:
    void fitToScreen()
    {
        const QRect available = screen()->availableGeometry();
        const int widest = available.width() * 9 / 10;
        const int tallest = available.height() * 9 / 10;
        QSize fitted(qMin(width(), widest), height());
        if (layout()->hasHeightForWidth()) {
            while (layout()->totalHeightForWidth(fitted.width()) > tallest && fitted.width() < widest)
                fitted.setWidth(qMin(widest, fitted.width() + fitted.width() / 4));
            fitted.setHeight(layout()->totalHeightForWidth(fitted.width()));
        }
        setFixedSize(fitted);
        keepOnScreen(this);
    }
};

} // namespace

void takeBackActivation(QWidget *form)
{
    if (form->isVisible() && !form->isActiveWindow())
        form->activateWindow();
}

void keepOnScreen(QWidget *dialog)
{
    const QRect available = dialog->screen()->availableGeometry();
    const QRect frame = dialog->frameGeometry();
    dialog->move(qBound(available.left(), frame.left(), available.left() + available.width() - frame.width()),
                 qBound(available.top(), frame.top(), available.top() + available.height() - frame.height()));
}

void showError(QWidget *form, const QString &message)
{
    MessageBox box(QMessageBox::Warning, Title, message, QMessageBox::Ok, form);
    box.exec();
    takeBackActivation(form);
}

bool confirm(QWidget *form, const QString &question)
{
    MessageBox box(QMessageBox::Question, Title, question, QMessageBox::Yes | QMessageBox::No, form);
    box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    takeBackActivation(form);
    return answer == QMessageBox::Yes;
}

int choose(QWidget *form, const QString &question, const QStringList &choices, int defaultChoice)
{
    MessageBox box(QMessageBox::Question, Title, question, QMessageBox::NoButton, form);
    QList<QAbstractButton *> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i)
        buttons << box.addButton(choices[i], i + 1 < choices.size() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.value(defaultChoice)));
    box.setEscapeButton(buttons.last());
    box.exec();
    takeBackActivation(form);
    const qsizetype taken = buttons.indexOf(box.clickedButton());
    return int(taken < 0 ? choices.size() - 1 : taken);
}

} // namespace FormDialogs
