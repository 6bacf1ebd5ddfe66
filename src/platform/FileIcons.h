#pragma once
// Icons of files, matched by name alone (no file is opened) and cached by
// type, so listing many files of few types stays cheap. The type itself is
// FileTypes' to tell.

#include <QIcon>
#include <QString>

namespace platform {

class FileIcons {
public:
    // The icon associated with the file's type; a generic file icon when the
    // desktop has none. Needs a running QGuiApplication.
    static QIcon icon(const QString& winPath);

    // The folder icon.
    static QIcon folderIcon();

    // The icon of a fixed drive.
    static QIcon driveIcon();
};

} // namespace platform
