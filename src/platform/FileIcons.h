#pragma once
// Icons and type names of files, matched by name alone (no file is opened)
// and cached by type, so listing many files of few types stays cheap.

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

    // The display name of the file's type ("Plain text document").
    static QString typeName(const QString& winPath);
};

} // namespace platform
