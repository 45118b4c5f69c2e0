#pragma once

#include "runtimeerror.h"

#include <QByteArray>
#include <QString>

// Files written whole or not at all. Paths are bytes in the file system's own
// encoding, so that a folder whose name is not UTF-8 can be written to as it
// is named.
namespace AtomicFile {

// Why a write failed, so that the message can give the advice that fits.
enum class Problem {
    FolderMissing,
    FolderNotWritable,
    ReadOnlyFile,
    FolderInTheWay,
    NotAFile,
    NameTooLong,
    DiskFull,
    Other,
};

class WriteError : public RuntimeError
{
public:
    WriteError(Problem problem, const QString &message);
    Problem problem() const { return m_problem; }

private:
    Problem m_problem;
};

// What stands at a path, seen without following a symbolic link.
struct Occupant
{
    enum Kind { Nothing, File, Folder, Link, Other };
    Kind kind = Nothing;
    QByteArray linkTarget; // for a link: where it points
    bool dangling = false; // for a link: nothing is there
};
Occupant occupant(const QByteArray &path);

// One sentence about what stands at path, for a question about replacing it:
// "X already exists." or, for a link, that replacing it replaces the link
// itself and leaves what it points to alone. Empty when nothing is there.
QString describeOccupant(const QByteArray &path, const Occupant &occupant);

// "Nothing was saved." and what to do about the problem; name says what the
// user can change ("picture number", "name").
QString advice(Problem problem, const QString &name);

// The longest file name, in bytes, that the folder takes.
int nameLengthLimit(const QByteArray &folder);

// A path as a message shows it.
QString displayPath(const QByteArray &path);

// Writes bytes as the file at path: into a new temporary file beside it,
// flushed to the disk, then renamed over path. Whoever looks at path sees the
// old file or the whole new one, never a part; a symbolic link at path is
// replaced itself, never what it points to; a read-only file is not replaced,
// nor a device, a pipe or a socket, which other programs may be using.
// Throws WriteError with "The <what> could not be saved as <path>: <reason>."
// and leaves nothing behind.
void write(const QByteArray &bytes, const QByteArray &path, const QString &what);

} // namespace AtomicFile
