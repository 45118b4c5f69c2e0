#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Modal message boxes over a form, and the form's activation after any modal
// dialog. Without a window manager nothing gives a form its activation back
// when a modal dialog closes, and the push buttons ignore clicks on a form
// that is not active; every dialog over a form is followed by
// takeBackActivation. The boxes fit the screen: a long path wraps.
namespace FormDialogs {

void takeBackActivation(QWidget *form);

// Moves a dialog that has just been given its size so that all of it, frame
// included, lies on its screen.
void keepOnScreen(QWidget *dialog);

// A warning that says what went wrong and what to do.
void showError(QWidget *form, const QString &message);

// A question answered with Yes or No; true for Yes. Return takes No.
bool confirm(QWidget *form, const QString &question);

// A question with a button for each choice, in this order; the result is the
// index of the one taken. Return takes defaultChoice; Escape and closing the
// box take the last choice, which is to be the one that does nothing.
int choose(QWidget *form, const QString &question, const QStringList &choices, int defaultChoice);

} // namespace FormDialogs
