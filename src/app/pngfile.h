#pragma once

#include <QByteArray>

class QImage;

// PNG files of the window's picture. The toolkit's writer tries every
// filter on every row to pick the best, which takes most of the time of a
// picture that is mostly flat colour; this one filters each row against the
// one above, which suits such a picture, and compresses fast. The file holds
// the same pixels and the same resolution.
namespace PngFile {

// The image as the bytes of a 24-bit PNG file, with its dots per metre;
// empty when it cannot be encoded.
QByteArray encode(const QImage &image);

} // namespace PngFile
