#include "cleaners/browser/EFileSearchError.h"

EFileSearchError::EFileSearchError(const QString& message)
    : std::runtime_error(message.toStdString())
    , message_(message)
{}
