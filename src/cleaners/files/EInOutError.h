#pragma once
// An input/output error that ends a whole walk, with the text the
// application's general error display shows for it.

#include <QString>
#include <stdexcept>

class EInOutError : public std::runtime_error {
public:
    // code is a Windows system error code (5 access denied, 2 file not
    // found, ...), as the platform layer reports it.
    explicit EInOutError(int code);

    int ErrorCode() const { return code_; }

    // "File access denied" for 5, "File not found" for 2, "Invalid filename"
    // for 3, "Too many open files" for 4, otherwise "I/O error <code>".
    QString Message() const;

private:
    int code_;
};
