#include "core/ShellFolders.h"

namespace core {

using namespace platform;

QString ShellFolders::keyPath()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
}

QList<QPair<QString, QString>> ShellFolders::all(RegistryRoot root)
{
    QList<QPair<QString, QString>> folders;
    RegistryKey key;
    if (!key.open(root, keyPath(), false))
        return folders;
    for (const QString& name : key.valueNames()) {
        QString folder;
        if (key.readString(name, folder))
            folders.append({name, folder});
    }
    return folders;
}

} // namespace core
