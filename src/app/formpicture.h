#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class PictureBox;
class QPainter;
class QWidget;

// The picture of a window that Save Graph writes, Copy Picture copies and
// Save Picture As exports: the window drawn off the screen, from the top of
// its client area down to the height it has while a picture is taken. Drawn
// off the screen, nothing that covers the window gets into the picture, and
// the window does not change its size.
namespace FormPicture {

// The part of the window the picture shows, in the window's coordinates.
QRect area(QWidget *window);

// Throws RuntimeError (Overflow) when the picture would have more pixels than
// a picture may have (at a screen resolution beyond about 1250 dpi), so that
// it is refused before its memory is taken.
void verifySize(QWidget *window);

// Draws the picture with the painter, in the window's coordinates. A text
// box shows its text only, whatever is selected in it and wherever the focus
// is: no selection band and no caret, and the user's focus, selection and
// caret stay as they were.
void render(QWidget *window, QPainter *painter);

// The picture, at the resolution of the window's screen: text in points is
// drawn at the size it has there. Throws as verifySize does.
QImage capture(QWidget *window);

// Writes the picture to a 24-bit bitmap file at path, bytes in the file
// system's encoding. The buffer keeps the picture and stays hidden. Throws
// RuntimeError (Overflow) as verifySize does, or AtomicFile::WriteError when
// the file cannot be written; the buffer is then left as it was.
void saveToFile(QWidget *window, PictureBox *buffer, const QByteArray &path);

} // namespace FormPicture
