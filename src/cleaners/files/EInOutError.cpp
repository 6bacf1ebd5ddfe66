#include "cleaners/files/EInOutError.h"

namespace {

QString messageFor(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Invalid filename");
    case 4:
        return QStringLiteral("Too many open files");
    case 5:
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
