#pragma once

#include <QByteArray>
#include <QString>

#include <span>

class QImage;
class QWidget;

// The window's picture, the one "Save Graph" writes, in the file types Save
// Picture As offers: PNG and Windows bitmap with the same pixels, SVG and PDF
// as vectors whose texts stay text and whose columns stay rectangles.
namespace PictureExport {

enum class Format { Png, Bmp, Svg, Pdf };

struct FileType
{
    Format format;
    const char *filter;    // as a file dialog shows it
    const char *extension; // without the dot
};

// PNG first: it is the default.
std::span<const FileType> fileTypes();
// The file dialog's filter list.
QString filters();

// The file a name chosen in the dialog stands for: a name ending in one of
// the offered extensions (in any case) is saved in that type; any other name
// gets the selected filter's extension and type.
struct Target
{
    QString path;
    Format format;
};
Target target(const QString &chosen, const QString &selectedFilter);

// The window's picture as the bytes of a file of that type. Throws
// RuntimeError (File) when the picture cannot be encoded, an SVG that would
// not be well-formed XML included.
QByteArray encode(QWidget *window, Format format);
// A picture already captured from the window (FormPicture::capture) as the
// bytes encode gives for it in a raster type, PNG or Windows bitmap.
QByteArray encodeRaster(const QImage &picture, Format format);

// Writes the bytes to path with AtomicFile::write: whole or not at all, a
// link replaced itself. Throws AtomicFile::WriteError with the path and the
// reason when the file cannot be written.
void writeFile(const QByteArray &bytes, const QString &path);

} // namespace PictureExport
