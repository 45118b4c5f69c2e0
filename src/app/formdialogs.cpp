#include "formdialogs.h"

#include <QMessageBox>
#include <QWidget>

namespace FormDialogs {

namespace {

const QString Title = QStringLiteral("Plinthos");

} // namespace

void takeBackActivation(QWidget *form)
{
    if (form->isVisible() && !form->isActiveWindow())
        form->activateWindow();
}

void showError(QWidget *form, const QString &message)
{
    QMessageBox::warning(form, Title, message);
    takeBackActivation(form);
}

bool confirm(QWidget *form, const QString &question)
{
    const auto answer = QMessageBox::question(form, Title, question);
    takeBackActivation(form);
    return answer == QMessageBox::Yes;
}

} // namespace FormDialogs
