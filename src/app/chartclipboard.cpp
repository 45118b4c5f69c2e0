#include "chartclipboard.h"

#include "columntable.h"
#include "documentfile.h"
#include "formpicture.h"
#include "pictureexport.h"
#include "runtimeerror.h"

#include <QMimeData>

namespace ChartClipboard {

namespace {

const QString PastedText = QStringLiteral("The pasted text");
const QString CopiedChart = QStringLiteral("The copied chart");

} // namespace

std::unique_ptr<QMimeData> copy(QWidget *window, const ChartDocument &document)
{
    // One capture for every raster type: they show the same pixels.
    const QImage picture = FormPicture::capture(window);
    auto data = std::make_unique<QMimeData>();
    if (!document.columns.isEmpty())
        data->setData(QString::fromLatin1(ChartType), document.toJson());
    data->setData(QStringLiteral("image/png"), PictureExport::encodeRaster(picture, PictureExport::Format::Png));
    data->setData(QStringLiteral("image/svg+xml"), PictureExport::encode(window, PictureExport::Format::Svg));
    data->setData(QStringLiteral("image/bmp"), PictureExport::encodeRaster(picture, PictureExport::Format::Bmp));
    // Other image types a program asks for are made from it on demand.
    data->setImageData(picture);
    if (!document.columns.isEmpty()) {
        const QString text = ColumnTable::toText(document.columns);
        data->setText(text);
        // The name under which many programs not made with Qt ask for text.
        data->setData(QStringLiteral("text/plain;charset=utf-8"), text.toUtf8());
    }
    return data;
}

bool holdsColumns(const QMimeData *data)
{
    return data && (data->hasFormat(QString::fromLatin1(ChartType)) || data->hasText());
}

QList<ChartColumn> columns(const QMimeData *data)
{
    const bool copiedChart = data && data->hasFormat(QString::fromLatin1(ChartType));
    const QByteArray copied = copiedChart ? data->data(QString::fromLatin1(ChartType)) : QByteArray();
    const QString text = data && !copiedChart ? data->text() : QString();
    // As much as a chart file may hold; more is no chart, only work.
    if (copied.size() > DocumentFile::MaxFileSize || text.size() > DocumentFile::MaxFileSize) {
        throw RuntimeError(ErrorKind::InvalidFormat,
                           PastedText + QStringLiteral(" is larger than %1 MB, far more than a chart holds.")
                                            .arg(DocumentFile::MaxFileSize / (1024 * 1024)));
    }
    const QList<ChartColumn> columns = copiedChart ? DocumentFile::parse(copied, CopiedChart, DocumentFile::Format::Chart).columns
                                                   : ColumnTable::read(text, PastedText);
    if (columns.isEmpty()) {
        throw RuntimeError(ErrorKind::InvalidFormat,
                           PastedText + QStringLiteral(" holds no columns: copy rows of a label and a value."));
    }
    return columns;
}

} // namespace ChartClipboard
