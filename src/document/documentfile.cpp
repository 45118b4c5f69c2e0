#include "documentfile.h"

#include "columntable.h"
#include "documentfields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace DocumentFields;

namespace DocumentFile {

namespace {

constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";

// The text of UTF-8 bytes; the first line that is no UTF-8 is named. A line
// break never stands inside a UTF-8 sequence, so lines decode on their own.
QString decode(QByteArrayView bytes, const QString &source)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    int line = 1;
    for (const QByteArrayView part : QByteArray::fromRawData(bytes.data(), bytes.size()).split('\n')) {
        QStringDecoder lineDecoder(QStringConverter::Utf8);
        const QString decoded = lineDecoder.decode(part);
        if (lineDecoder.hasError())
            break;
        ++line;
    }
    throw readError(source, linePlace(line), QStringLiteral("the text is not UTF-8; save the file as UTF-8 text"));
}

Format sniff(QStringView text)
{
    const QStringView start = text.trimmed();
    return start.startsWith(u'{') ? Format::Chart : Format::Table;
}

} // namespace

std::optional<Format> formatOfName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv" || suffix == u"tsv" || suffix == u"tab" || suffix == u"txt")
        return Format::Table;
    if (suffix == u"plinthos" || suffix == u"json")
        return Format::Chart;
    return std::nullopt;
}

ChartDocument parse(const QByteArray &bytes, const QString &source, std::optional<Format> format, Format *read)
{
    const QByteArrayView body = QByteArrayView(bytes).startsWith(Utf8Bom) ? QByteArrayView(bytes).sliced(Utf8Bom.size())
                                                                          : QByteArrayView(bytes);
    const QString text = decode(body, source);
    const Format found = format.value_or(sniff(text));
    if (read)
        *read = found;
    if (found == Format::Chart)
        return ChartDocument::fromJson(body.toByteArray(), source);
    ChartDocument document;
    document.columns = ColumnTable::read(text, source);
    return document;
}

ChartDocument read(const QString &path, Format *read)
{
    const QString source = QDir::toNativeSeparators(path);
    QFile file(path);
    const QFileInfo info(path);
    if (info.isDir())
        throw RuntimeError(ErrorKind::File, QStringLiteral("%1: this is a folder, not a chart file.").arg(source));
    // A pipe or a device could keep the program waiting, or fill it, forever.
    if (info.exists() && !info.isFile())
        throw RuntimeError(ErrorKind::File, QStringLiteral("%1: this is a device or a pipe, not a chart file.").arg(source));
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorKind::File, QStringLiteral("%1: the file cannot be read: %2.").arg(source, file.errorString()));
    return DocumentFile::read(file, source, formatOfName(path), read);
}

ChartDocument read(QFile &file, const QString &source, std::optional<Format> format, Format *read)
{
    // Read no more than a chart can need, whatever the file claims.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(ErrorKind::File, QStringLiteral("%1: the file cannot be read: %2.").arg(source, file.errorString()));
    if (bytes.size() > MaxFileSize) {
        throw readError(source, QString(), QStringLiteral("the file is larger than %1 MB, far more than a chart holds")
                                               .arg(MaxFileSize / (1024 * 1024)));
    }
    return parse(bytes, source, format, read);
}

QByteArray encode(const ChartDocument &document, Format format)
{
    return format == Format::Chart ? document.toJson() : ColumnTable::toCsv(document.columns);
}

} // namespace DocumentFile
