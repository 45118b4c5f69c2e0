#pragma once

#include "formdesign.h"
#include "twips.h"

#include <QList>
#include <QPair>
#include <QRect>

class PropertyBag;
class QWidget;

// Turns the rows of the design tables into widgets on a form: kind, name,
// place and size (twips to pixels at the screen's resolution), text, colours,
// font and focus place. The hosted controls are created through their life
// cycle and restored from their Property bags.
class FormBuilder
{
public:
    FormBuilder(QWidget *form, const Resolution &resolution)
        : m_form(form)
        , m_resolution(resolution)
    {
    }

    QWidget *build(const ControlDesign &design, QWidget *container);
    // Gives a built control its place, size and font at the builder's
    // resolution, as build() does: a form moved to a screen of another
    // resolution places its controls again.
    void place(const ControlDesign &design, QWidget *widget) const;
    // Chains every built control that takes the focus in the order of its
    // focus place.
    void applyFocusOrder() const;

    static QString objectName(const ControlDesign &design);

private:
    QWidget *create(const ControlDesign &design, QWidget *container) const;
    QWidget *createHosted(const ControlDesign &design, QWidget *container) const;
    // Where a hosted control goes: its design place and the size its bag keeps.
    QRect hostedPlace(const ControlDesign &design, const PropertyBag &bag) const;

    QWidget *m_form;
    Resolution m_resolution;
    QList<QPair<int, QWidget *>> m_focusPlaces;
};
