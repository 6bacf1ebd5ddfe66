#pragma once
// A failure that ends a file search without a result: an invalid mask or
// an empty root path.

#include <QString>
#include <stdexcept>

class EFileSearchError : public std::runtime_error {
public:
    explicit EFileSearchError(const QString& message);

    // The text for the application's general error display.
    QString Message() const { return message_; }

private:
    QString message_;
};
