#include "cleaners/files/EInOutError.h"

#include "platform/WinError.h"

namespace {

QString messageFor(int code)
{
    using namespace platform::WinError;
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case PathNotFound:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case AccessDenied:
        return QStringLiteral("File access denied");
    }
    return QStringLiteral("I/O error %1").arg(code);
}

} // namespace

EInOutError::EInOutError(int code)
    : std::runtime_error(messageFor(code).toStdString())
    , code_(code)
{}

QString EInOutError::Message() const
{
    return messageFor(code_);
}
