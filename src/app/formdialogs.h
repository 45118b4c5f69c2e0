#pragma once

#include <QString>

class QWidget;

// Modal message boxes over a form, and the form's activation after any modal
// dialog. Without a window manager nothing gives a form its activation back
// when a modal dialog closes, and the push buttons ignore clicks on a form
// that is not active; every dialog over a form is followed by
// takeBackActivation.
namespace FormDialogs {

void takeBackActivation(QWidget *form);

// A warning that says what went wrong and what to do.
void showError(QWidget *form, const QString &message);

// A question answered with Yes or No; true for Yes.
bool confirm(QWidget *form, const QString &question);

} // namespace FormDialogs
