#include "pictureexport.h"

#include "atomicfile.h"
#include "formpicture.h"
#include "graphfile.h"
#include "runtimeerror.h"
#include "scalabletextdevice.h"
#include "svgtext.h"
#include "twips.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QSvgGenerator>
#include <QWidget>

namespace PictureExport {

namespace {

constexpr FileType FileTypes[] = {
    {Format::Png, "PNG image (*.png)", "png"},
    {Format::Bmp, "Windows bitmap (*.bmp)", "bmp"},
    {Format::Svg, "SVG drawing (*.svg)", "svg"},
    {Format::Pdf, "PDF document (*.pdf)", "pdf"},
};

constexpr double PointsPerInch = 72.0;

RuntimeError encodingFailure()
{
    return RuntimeError(ErrorKind::File, QStringLiteral("The picture could not be encoded."));
}

void renderVector(QWidget *window, ScalableTextDevice &device)
{
    QPainter painter(&device);
    FormPicture::render(window, &painter);
}

QString title(QWidget *window)
{
    // Without the place the title bar marks unsaved changes in.
    return window->windowTitle().remove(QStringLiteral("[*]")).trimmed();
}

QByteArray encodeSvg(QWidget *window)
{
    const QRect area = FormPicture::area(window);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(area.size());
    svg.setViewBox(area);
    // Fonts are sized for the screen the window is on.
    svg.setResolution(int(Resolution::of(window).dpiX()));
    svg.setTitle(SvgText::xmlText(title(window)));
    svg.setDescription(QStringLiteral("A column chart drawn with Plinthos"));
    // The generator writes text in one face, as the characters given, with no
    // width: the runs are drawn as marks and put in place afterwards.
    ScalableTextDevice device(&svg);
    device.markTextRuns();
    renderVector(window, device);
    if (bytes.isEmpty())
        throw encodingFailure();
    return SvgText::placeRuns(bytes, device.textRuns(), &svg);
}

QByteArray encodePdf(QWidget *window)
{
    const QRect area = FormPicture::area(window);
    const double dpi = Resolution::of(window).dpiX();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(int(dpi));
        // One page the size of the picture as the screen shows it.
        const QSizeF points(area.width() * PointsPerInch / dpi, area.height() * PointsPerInch / dpi);
        pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
        pdf.setTitle(title(window));
        pdf.setCreator(QStringLiteral("Plinthos"));
        ScalableTextDevice device(&pdf);
        renderVector(window, device);
    }
    if (!bytes.startsWith("%PDF-"))
        throw encodingFailure();
    return bytes;
}

} // namespace

std::span<const FileType> fileTypes()
{
    return FileTypes;
}

QString filters()
{
    QStringList list;
    for (const FileType &type : FileTypes)
        list << QString::fromLatin1(type.filter);
    return list.join(QStringLiteral(";;"));
}

Target target(const QString &chosen, const QString &selectedFilter)
{
    const QString suffix = QFileInfo(chosen).suffix();
    for (const FileType &type : FileTypes) {
        if (suffix.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return {chosen, type.format};
    }
    const FileType *filtered = &FileTypes[0];
    for (const FileType &type : FileTypes) {
        if (selectedFilter == QLatin1String(type.filter))
            filtered = &type;
    }
    return {chosen + u'.' + QLatin1String(filtered->extension), filtered->format};
}

QByteArray encode(QWidget *window, Format format)
{
    switch (format) {
    case Format::Png:
    case Format::Bmp: return encodeRaster(FormPicture::capture(window), format);
    case Format::Svg: return encodeSvg(window);
    case Format::Pdf: return encodePdf(window);
    }
    Q_UNREACHABLE();
}

// The same encoding as Save Graph's: the bitmap comes out the same.
QByteArray encodeRaster(const QImage &picture, Format format)
{
    Q_ASSERT(format == Format::Png || format == Format::Bmp);
    const QByteArray bytes = GraphFile::encodeImage(picture, format == Format::Png ? "PNG" : "BMP");
    if (bytes.isEmpty())
        throw encodingFailure();
    return bytes;
}

void writeFile(const QByteArray &bytes, const QString &path)
{
    AtomicFile::write(bytes, QFile::encodeName(path), QStringLiteral("picture"));
}

} // namespace PictureExport
