#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The bitmap files "Save Graph" writes beside the program. Folders and paths
// are bytes in the file system's own encoding (see AtomicFile).
namespace GraphFile {

// The folder that holds the program's executable, from the executable's real
// path (/proc/self/exe), whatever its encoding. Empty, with *problem saying
// why, when it cannot be found.
QByteArray programFolder(QString *problem);

// The folder part of an executable's path: "/opt/p/plinthos" gives "/opt/p",
// "/plinthos" gives "/". Empty for a path without a folder: an empty folder
// never becomes the root folder.
QByteArray folderOf(const QByteArray &executable);

// What makes a picture number unfit to stand in a file name (a separator, a
// control character, a character Windows file names cannot hold); empty when
// it is fit. The number never stands alone: "." gives "graph..bmp".
QString pictureNumberProblem(const QString &number);

// "graph" + the number as typed + ".bmp" in the folder. The separator is
// added whatever the folder ends with: the root folder "/" gives
// "//graph1.bmp", which the system takes as "/graph1.bmp". Empty for an
// empty folder.
QByteArray path(const QByteArray &folder, const QString &number);

// The number that follows: the number at the start of the text plus one, in
// the standard text form with "." for the decimal point, which reads back in
// any locale (2.5 -> 3.5, x -> 1, 007 -> 8). Throws RuntimeError (Overflow)
// for a number too large to count on from: too large to read, or so large
// that the next one cannot be told from it or be written back as a number.
QString nextNumber(const QString &number);

// The first number after this one whose graph file is not yet in the folder;
// empty when the counter cannot get there.
QString nextFreeNumber(const QByteArray &folder, const QString &number);

// The image as the bytes of a raster file of that format ("BMP", "PNG"),
// encoded from 32-bit pixels: a bitmap comes out with 24 bits a pixel.
// Empty when the image cannot be encoded.
QByteArray encodeImage(const QImage &image, const char *format);

// Writes the image as a 24-bit Windows bitmap with AtomicFile::write. Throws
// AtomicFile::WriteError with the path and the reason when the file cannot be
// written.
void writeBitmap(const QImage &image, const QByteArray &path);

} // namespace GraphFile
