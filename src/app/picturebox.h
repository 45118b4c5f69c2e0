#pragma once

#include "colours.h"

#include <QImage>
#include <QWidget>

// A picture box that keeps an off-screen image of its own: what is drawn into
// it stays in image() whether it is shown or not.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    void setImage(const QImage &image);

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor colour);
    // The colour of text and lines drawn into the box.
    OleColor ForeColor() const { return m_foreColor; }
    void SetForeColor(OleColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    OleColor m_backColor = SystemColour::Window;
    OleColor m_foreColor = SystemColour::ButtonText;
};
