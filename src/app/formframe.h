#pragma once

#include "colours.h"

#include <QGroupBox>

// A frame of the form: filled in its background colour, with an etched
// border that starts halfway down its caption and the caption at its top left.
class FormFrame : public QGroupBox
{
    Q_OBJECT

public:
    explicit FormFrame(const QString &caption, QWidget *parent = nullptr);

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    OleColor m_backColor = SystemColour::ButtonFace;
};
