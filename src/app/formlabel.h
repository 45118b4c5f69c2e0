#pragma once

#include "colours.h"

#include <QLabel>

// A label of the form: opaque in its background colour or transparent, with
// or without a one-pixel border, and raising Click when it is clicked. The
// colour swatches and palette cells are labels without text. The border and
// the text are drawn in device pixels: the border one device pixel wide, the
// text at the device size.
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
    // The label's size in device pixels where its logical size rounds it up
    // (a label sized to its text may span an odd number of device pixels):
    // it paints only those, and the form shows through the rest.
    void setDeviceSize(const QSize &size);
    // Makes the label a colour swatch, read out by its colour after the
    // caption when there is one ("Column colour: red").
    void setSwatch(const QString &caption = {});

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void nameAfterColour();

    bool m_swatch = false;
    QString m_colourCaption;
    OleColor m_backColor = SystemColour::ButtonFace;
    bool m_transparent = false;
    QSize m_deviceSize;
    bool m_pressed = false;
};
