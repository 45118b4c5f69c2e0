#include "pngfile.h"

#include <QImage>
#include <QSysInfo>

#include <csetjmp>

#include <png.h>

namespace PngFile {

namespace {

// A fast deflate: three times as fast as the default for a picture a third
// larger, some tens of kilobytes.
constexpr int CompressionLevel = 3;

void append(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

void flush(png_structp) {}

} // namespace

QByteArray encode(const QImage &image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull())
        return {};
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        // libpng jumps back here when it fails.
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, append, flush);
    png_set_IHDR(png, info, png_uint_32(pixels.width()), png_uint_32(pixels.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (pixels.dotsPerMeterX() > 0 && pixels.dotsPerMeterY() > 0) {
        png_set_pHYs(png, info, png_uint_32(pixels.dotsPerMeterX()), png_uint_32(pixels.dotsPerMeterY()),
                     PNG_RESOLUTION_METER);
    }
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, CompressionLevel);
    png_write_info(png, info);
    // A 32-bit pixel in memory is B, G, R and an unused byte on a
    // little-endian machine, the unused byte and R, G, B on a big-endian one.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    for (int y = 0; y < pixels.height(); ++y)
        png_write_row(png, pixels.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

} // namespace PngFile
