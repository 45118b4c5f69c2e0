#pragma once

#include "colours.h"

#include <QLabel>

// A label of the form: opaque in its background colour or transparent, with
// or without a one-pixel border, and raising Click when it is clicked. The
// colour swatches and palette cells are labels without text.
class FormLabel : public QLabel
{
    Q_OBJECT

public:
    explicit FormLabel(QWidget *parent = nullptr);

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor colour);
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    void setSingleBorder(bool border);
    // Makes the label a colour swatch, read out by its colour after the
    // caption when there is one ("Column colour: red").
    void setSwatch(const QString &caption = {});

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void nameAfterColour();

    bool m_swatch = false;
    QString m_colourCaption;
    OleColor m_backColor = SystemColour::ButtonFace;
    bool m_transparent = false;
    bool m_pressed = false;
};
