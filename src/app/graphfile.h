#pragma once

#include <QImage>
#include <QString>

// The bitmap files "Save Graph" writes beside the program.
namespace GraphFile {

// What makes a picture number unfit to stand in a file name (a separator, a
// control character, a character Windows file names cannot hold); empty when
// it is fit. The number never stands alone: "." gives "graph..bmp".
QString pictureNumberProblem(const QString &number);

// "graph" + the number as typed + ".bmp" in the folder. The separator is
// added whatever the folder ends with: the root folder "/" gives
// "//graph1.bmp", which the system takes as "/graph1.bmp".
QString path(const QString &folder, const QString &number);

// The number that follows: the number at the start of the text plus one, in
// the standard text form with the user's decimal separator (2.5 -> 3.5,
// x -> 1, 007 -> 8). Throws RuntimeError (Overflow) for a number too large
// to read.
QString nextNumber(const QString &number);

// The image as the bytes of a raster file of that format ("BMP", "PNG"),
// encoded from 32-bit pixels: a bitmap comes out with 24 bits a pixel.
// Empty when the image cannot be encoded.
QByteArray encodeImage(const QImage &image, const char *format);

// Writes the image as a 24-bit Windows bitmap, replacing an existing file only
// once the new one is complete. Throws RuntimeError (File) with the path and
// the reason when the file cannot be written.
void writeBitmap(const QImage &image, const QString &path);

// Writes bytes to path the same way. The message of the error says which
// file could not be saved: "The <what> could not be saved as <path>: ...".
void writeFile(const QByteArray &bytes, const QString &path, const QString &what);

} // namespace GraphFile
