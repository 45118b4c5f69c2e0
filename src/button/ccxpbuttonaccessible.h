#pragma once

#include <QAccessibleWidget>

class ccXPButton;

// Announces the button as a push button named by its caption as it shows
// (without the access-key ampersands), and presses it on request.
class ccXPButtonAccessible : public QAccessibleWidget
{
public:
    explicit ccXPButtonAccessible(ccXPButton *button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    ccXPButton *button() const;
};
