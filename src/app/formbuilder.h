#pragma once

#include "formdesign.h"

#include <QList>
#include <QPair>

class QWidget;

// Turns the rows of the design tables into widgets on a form: kind, name,
// place and size (twips to pixels), text, colours, font and focus place. The
// hosted controls are created through their life cycle and restored from their
// Property bags.
class FormBuilder
{
public:
    explicit FormBuilder(QWidget *form) : m_form(form) {}

    QWidget *build(const ControlDesign &design, QWidget *container);
    // Chains every built control that takes the focus in the order of its
    // focus place.
    void applyFocusOrder() const;

    static QString objectName(const ControlDesign &design);

private:
    QWidget *create(const ControlDesign &design, QWidget *container) const;
    QWidget *createHosted(const ControlDesign &design, QWidget *container) const;

    QWidget *m_form;
    QList<QPair<int, QWidget *>> m_focusPlaces;
};
