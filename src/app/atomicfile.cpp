#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

constexpr int TemporaryNameAttempts = 100;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a failure to create or fill the temporary file says about the target.
Problem problemOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Problem::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return Problem::FolderNotWritable;
    case ENAMETOOLONG:
        return Problem::NameTooLong;
    case ENOSPC:
    case EDQUOT:
        return Problem::DiskFull;
    default:
        return Problem::Other;
    }
}

// What a failure to rename the finished file over the target says.
Problem renameProblemOf(int error)
{
    switch (error) {
    case EISDIR:
    case ENOTEMPTY:
    case EEXIST:
        return Problem::FolderInTheWay;
    case EACCES:
    case EPERM:
        return Problem::Other; // a file of another user in a sticky folder
    default:
        return problemOf(error);
    }
}

// A new file of a name no one else has, created by this call alone, with the
// permissions the user's umask gives a new file.
int createTemporary(const QByteArray &folder, QByteArray *name)
{
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        *name = folder + "/.plinthos-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t part = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (part < 0 && errno == EINTR)
            continue;
        if (part <= 0) {
            if (part == 0)
                errno = ENOSPC;
            return false;
        }
        written += part;
    }
    return true;
}

// The rename is on the disk only once the folder is.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

WriteError::WriteError(Problem problem, const QString &message)
    : RuntimeError(ErrorKind::File, message)
    , m_problem(problem)
{
}

Occupant occupant(const QByteArray &path)
{
    struct stat status;
    if (::lstat(path.constData(), &status) != 0)
        return {};
    Occupant found;
    if (S_ISLNK(status.st_mode)) {
        found.kind = Occupant::Link;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        found.linkTarget = length > 0 ? target.left(length) : QByteArray();
        struct stat pointed;
        found.dangling = ::stat(path.constData(), &pointed) != 0;
    } else if (S_ISDIR(status.st_mode)) {
        found.kind = Occupant::Folder;
    } else {
        found.kind = S_ISREG(status.st_mode) ? Occupant::File : Occupant::Other;
    }
    return found;
}

QString describeOccupant(const QByteArray &path, const Occupant &occupant)
{
    const QString shown = displayPath(path);
    if (occupant.kind == Occupant::Nothing)
        return {};
    if (occupant.kind != Occupant::Link)
        return QStringLiteral("%1 already exists.").arg(shown);
    const QString target = displayPath(occupant.linkTarget);
    if (occupant.dangling) {
        return QStringLiteral("%1 is a symbolic link to %2, which does not exist. Replacing it replaces the "
                              "link itself; nothing is written at %2.")
            .arg(shown, target);
    }
    return QStringLiteral("%1 is a symbolic link to %2. Replacing it replaces the link itself; %2 is left as it is.")
        .arg(shown, target);
}

QString advice(Problem problem, const QString &name)
{
    switch (problem) {
    case Problem::FolderMissing:
        return QStringLiteral("Nothing was saved. The folder is not there: use another folder.");
    case Problem::FolderNotWritable:
        return QStringLiteral("Nothing was saved. The folder cannot be written to: use another folder.");
    case Problem::ReadOnlyFile:
        return QStringLiteral("Nothing was saved, and the file is as it was. Use another %1, or make the file "
                              "writable first.").arg(name);
    case Problem::FolderInTheWay:
        return QStringLiteral("Nothing was saved. A folder has that name: use another %1, or move the folder.").arg(name);
    case Problem::NotAFile:
        return QStringLiteral("Nothing was saved, and it was left as it is. Use another %1.").arg(name);
    case Problem::NameTooLong:
        return QStringLiteral("Nothing was saved. The name is longer than the file system takes: use a shorter %1.").arg(name);
    case Problem::DiskFull:
        return QStringLiteral("Nothing was saved, and no file was changed. Free some space on the disk and try again.");
    case Problem::Other:
        break;
    }
    return QStringLiteral("Nothing was saved, and no file was changed. Try again, or use another folder.");
}

int nameLengthLimit(const QByteArray &folder)
{
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? int(limit) : NAME_MAX;
}

QString displayPath(const QByteArray &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path));
}

void write(const QByteArray &bytes, const QByteArray &path, const QString &what)
{
    const auto failure = [&](Problem problem, const QString &reason) {
        return WriteError(problem, QStringLiteral("The %1 could not be saved as %2: %3.").arg(what, displayPath(path), reason));
    };

    // A read-only file stays; a link is replaced whatever it points to.
    struct stat existing;
    const bool replacesFile = ::lstat(path.constData(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (replacesFile && ::access(path.constData(), W_OK) != 0 && errno == EACCES)
        throw failure(Problem::ReadOnlyFile, QStringLiteral("the file is read-only"));
    if (!replacesFile && ::lstat(path.constData(), &existing) == 0 && !S_ISLNK(existing.st_mode) && !S_ISDIR(existing.st_mode))
        throw failure(Problem::NotAFile, QStringLiteral("it is a device, a pipe or a socket, not a file"));

    QByteArray temporary;
    int fd = createTemporary(folderOf(path), &temporary);
    if (fd < 0) {
        const int error = errno;
        throw failure(problemOf(error), systemReason(error));
    }
    bool renamed = false;
    const auto cleanUp = [&] {
        if (fd >= 0)
            ::close(fd);
        if (!renamed)
            ::unlink(temporary.constData());
    };
    try {
        if (replacesFile)
            ::fchmod(fd, existing.st_mode & 07777);
        if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
            const int error = errno;
            throw failure(problemOf(error), systemReason(error));
        }
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0 && errno != EINTR) {
            const int error = errno;
            throw failure(problemOf(error), systemReason(error));
        }
        if (::rename(temporary.constData(), path.constData()) != 0) {
            const int error = errno;
            throw failure(renameProblemOf(error), systemReason(error));
        }
        renamed = true;
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
    syncFolder(folderOf(path));
}

} // namespace AtomicFile
