#include "graphfile.h"

#include "numbers.h"
#include "runtimeerror.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace GraphFile {

namespace {

// Characters that no Windows file name may hold besides the separators; a
// bitmap named with one could not be copied to such a system.
constexpr QStringView ReservedCharacters = u"<>:\"|?*";

QString describe(QChar c)
{
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return QStringLiteral("a control character");
    return QStringLiteral("\"%1\"").arg(c);
}

// Why a write or a commit failed. The file's own error comes first; a save
// file that has already dropped it (and then says "Unknown error") is
// described by the system's error code of the call that failed.
QString failureReason(const QFileDevice &file, int systemError)
{
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return QStringLiteral("the disk did not take the whole file");
}

} // namespace

QString pictureNumberProblem(const QString &number)
{
    for (const QChar c : number) {
        if (c == u'/' || c == u'\\')
            return QStringLiteral("it holds the folder separator %1").arg(describe(c));
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || ReservedCharacters.contains(c))
            return QStringLiteral("it holds %1, which a file name cannot hold").arg(describe(c));
    }
    return {};
}

QString path(const QString &folder, const QString &number)
{
    return folder + QDir::separator() + QStringLiteral("graph") + number + QStringLiteral(".bmp");
}

QString nextNumber(const QString &number)
{
    return formatNumber(scanNumber(number) + 1.0);
}

QByteArray encodeImage(const QImage &image, const char *format)
{
    // Qt writes 32-bit pixels as a 24-bit bitmap, and does it many times
    // faster from RGB32 than from RGB888.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, format))
        return {};
    return bytes;
}

void writeBitmap(const QImage &image, const QString &path)
{
    // Encode first, so that nothing touches the disk unless there is a whole
    // bitmap to write.
    const QByteArray bitmap = encodeImage(image, "BMP");
    if (bitmap.isEmpty()) {
        throw RuntimeError(ErrorKind::File, QStringLiteral("The graph could not be saved as %1: the picture could not be encoded.")
                                                .arg(QDir::toNativeSeparators(path)));
    }
    writeFile(bitmap, path, QStringLiteral("graph"));
}

void writeFile(const QByteArray &bytes, const QString &path, const QString &what)
{
    const auto failure = [&path, &what](const QString &reason) {
        return RuntimeError(ErrorKind::File, QStringLiteral("The %1 could not be saved as %2: %3.")
                                                 .arg(what, QDir::toNativeSeparators(path), reason));
    };

    // Unbuffered, so that a write the disk does not take fails at once and
    // with its reason, not later inside the commit.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failure(file.errorString());
    // A disk that fills up takes part of a write without complaint; the
    // write of the rest then fails and says why.
    for (qint64 written = 0; written < bytes.size();) {
        errno = 0;
        const qint64 part = file.write(bytes.constData() + written, bytes.size() - written);
        if (part <= 0) {
            const QString reason = failureReason(file, errno);
            file.cancelWriting();
            throw failure(reason);
        }
        written += part;
    }
    errno = 0;
    if (!file.commit())
        throw failure(failureReason(file, errno));
}

} // namespace GraphFile
