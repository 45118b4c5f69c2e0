#include "graphfile.h"

#include "atomicfile.h"
#include "numbers.h"
#include "pngfile.h"
#include "runtimeerror.h"

#include <QBuffer>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>

#include <unistd.h>

namespace GraphFile {

namespace {

// Characters that no Windows file name may hold besides the separators; a
// bitmap named with one could not be copied to such a system.
constexpr QStringView ReservedCharacters = u"<>:\"|?*";

// How far the next free number is looked for.
constexpr int FreeNumberAttempts = 10000;

QString describe(QChar c)
{
    if (c.category() == QChar::Other_Control)
        return QStringLiteral("a control character");
    return QStringLiteral("\"%1\"").arg(c);
}

QString tooLarge()
{
    return QStringLiteral("The number is too large to count on from.");
}

} // namespace

QByteArray programFolder(QString *problem)
{
    QByteArray executable(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), size_t(executable.size()));
    if (length <= 0 || length >= executable.size()) {
        *problem = length <= 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("its path is too long");
        return {};
    }
    const QByteArray folder = folderOf(executable.left(length));
    if (folder.isEmpty())
        *problem = QStringLiteral("the system names no folder for it");
    return folder;
}

QByteArray folderOf(const QByteArray &executable)
{
    const qsizetype slash = executable.lastIndexOf('/');
    if (slash < 0)
        return {};
    return slash == 0 ? QByteArrayLiteral("/") : executable.left(slash);
}

QString pictureNumberProblem(const QString &number)
{
    for (const QChar c : number) {
        if (c == u'/' || c == u'\\')
            return QStringLiteral("it holds the folder separator %1").arg(describe(c));
        if (c.category() == QChar::Other_Control || ReservedCharacters.contains(c))
            return QStringLiteral("it holds %1, which a file name cannot hold").arg(describe(c));
    }
    // A lone half of a surrogate pair has no bytes in a file name.
    if (QFile::decodeName(QFile::encodeName(number)) != number)
        return QStringLiteral("it holds a character that has no place in a file name");
    return {};
}

QByteArray path(const QByteArray &folder, const QString &number)
{
    if (folder.isEmpty())
        return {};
    return folder + "/graph" + QFile::encodeName(number) + ".bmp";
}

QString nextNumber(const QString &number)
{
    const double value = scanNumber(number);
    const double next = value + 1.0;
    const QString text = formatNumber(next, QLocale::c());
    // Past 15 digits the text holds fewer digits than the count: it would
    // read back as another number, and the count would stick.
    if (next == value || std::abs(scanNumber(text) - next) >= 0.5)
        throw RuntimeError::overflow(tooLarge());
    return text;
}

QString nextFreeNumber(const QByteArray &folder, const QString &number)
{
    QString candidate = number;
    try {
        for (int attempt = 0; attempt < FreeNumberAttempts; ++attempt) {
            candidate = nextNumber(candidate);
            // Taken only if the counter can go on from it.
            if (AtomicFile::occupant(path(folder, candidate)).kind == AtomicFile::Occupant::Nothing
                && !nextNumber(candidate).isEmpty()) {
                return candidate;
            }
        }
    } catch (const RuntimeError &) {
    }
    return {};
}

QByteArray encodeImage(const QImage &image, const char *format)
{
    if (qstricmp(format, "PNG") == 0)
        return PngFile::encode(image);
    // Qt writes 32-bit pixels as a 24-bit bitmap, and does it many times
    // faster from RGB32 than from RGB888.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, format))
        return {};
    return bytes;
}

void writeBitmap(const QImage &image, const QByteArray &path)
{
    // Encode first, so that nothing touches the disk unless there is a whole
    // bitmap to write.
    const QByteArray bitmap = encodeImage(image, "BMP");
    if (bitmap.isEmpty()) {
        throw AtomicFile::WriteError(AtomicFile::Problem::Other,
                                     QStringLiteral("The graph could not be saved as %1: the picture could not be encoded.")
                                         .arg(AtomicFile::displayPath(path)));
    }
    AtomicFile::write(bitmap, path, QStringLiteral("graph"));
}

} // namespace GraphFile
