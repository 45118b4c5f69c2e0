#pragma once

#include "ccxpbutton.h"
#include "controlsite.h"
#include "propertybag.h"

#include <QTest>
#include <QWidget>

// A form that hosts push buttons the way the main window does: parent, site,
// Initialize, ReadProperties, then the size from the design.
class ButtonTestHost : public QWidget
{
public:
    ButtonTestHost() { resize(400, 300); }

    ccXPButton *addButton(const QString &name, const QRect &geometry, const PropertyBag &bag = PropertyBag())
    {
        auto *button = new ccXPButton(this);
        button->setSite(new FormSite(button, name, button));
        button->Initialize();
        button->ReadProperties(bag);
        button->setGeometry(geometry);
        return button;
    }

    static FormSite *siteOf(const ccXPButton *button) { return button->findChild<FormSite *>(); }
};

inline const char *stateName(ButtonState state)
{
    switch (state) {
    case ButtonState::Disabled: return "Disabled";
    case ButtonState::Normal: return "Normal";
    case ButtonState::Focused: return "Focused";
    case ButtonState::Hot: return "Hot";
    case ButtonState::Pressed: return "Pressed";
    }
    return "(invalid)";
}

// Lets QCOMPARE print states by name.
inline char *toString(const ButtonState &state)
{
    return qstrdup(stateName(state));
}
