#include "ccxpbuttonaccessible.h"

#include "accessibility.h"
#include "ccxpbutton.h"

ccXPButtonAccessible::ccXPButtonAccessible(ccXPButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

ccXPButton *ccXPButtonAccessible::button() const
{
    return static_cast<ccXPButton *>(widget());
}

QString ccXPButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return withoutMnemonics(button()->Caption());
    return QAccessibleWidget::text(t);
}

QAccessible::State ccXPButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.disabled = !button()->Enabled();
    state.pressed = button()->paintedState() == ButtonState::Pressed;
    return state;
}

QStringList ccXPButtonAccessible::actionNames() const
{
    return button()->Enabled() ? QStringList{pressAction()} : QStringList{};
}

void ccXPButtonAccessible::doAction(const QString &actionName)
{
    // Pressing from assistive technology is what Enter does on the button.
    if (actionName == pressAction() && button()->Enabled())
        emit button()->Click();
}
