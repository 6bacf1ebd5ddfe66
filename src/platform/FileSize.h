#pragma once
// The size of one file, read the way a program finds it by opening the file.

#include <QString>

namespace platform {

class FileSize {
public:
    // The size in bytes of the regular file at winPath, which must be
    // openable for reading; a link's own size (links are never followed);
    // 0 for a folder, a device, socket or FIFO, an unreadable or missing file.
    static quint64 ofOpenedFile(const QString& winPath);
};

} // namespace platform
