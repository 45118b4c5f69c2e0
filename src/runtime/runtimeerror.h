#pragma once

#include <QString>

#include <stdexcept>

// The kinds of failure that travel from an operation to its caller. Handlers
// that let an error pass simply do not catch; handlers that show it to the
// user take the message, which is written to be read by the user.
enum class ErrorKind {
    Overflow,
    IndexOutOfRange,
    File,
    TypeMismatch,
    InvalidFormat,
};

class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(ErrorKind kind, const QString &message);

    ErrorKind kind() const { return m_kind; }
    QString message() const { return m_message; }

    static RuntimeError overflow(const QString &message);
    static RuntimeError indexOutOfRange(const QString &message);

private:
    ErrorKind m_kind;
    QString m_message;
};
