#include "runtimeerror.h"

RuntimeError::RuntimeError(ErrorKind kind, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_kind(kind)
    , m_message(message)
{
}

RuntimeError RuntimeError::overflow(const QString &message)
{
    return RuntimeError(ErrorKind::Overflow, message);
}

RuntimeError RuntimeError::indexOutOfRange(const QString &message)
{
    return RuntimeError(ErrorKind::IndexOutOfRange, message);
}
