#pragma once

#include "colours.h"

#include <QWidget>

// A rectangle of the form: filled in its background colour, with a one-pixel
// black border.
class FormShape : public QWidget
{
    Q_OBJECT

public:
    explicit FormShape(QWidget *parent = nullptr);

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OleColor m_backColor = SystemColour::Window;
};
