#pragma once
// The "Shell Folders" key: where the registry of a Windows profile names its
// special folders (Desktop, Recent, Cache, Cookies, History, ...), under the
// user's root and, for the folders all users share, the machine's.

#include "platform/RegistryKey.h"

#include <QList>
#include <QPair>
#include <QString>

namespace core {

class ShellFolders {
public:
    // The key's path below a root.
    static QString keyPath();

    // Every value of the key under root that is text, as (name, folder), in
    // the key's order; empty when there is no such key.
    static QList<QPair<QString, QString>> all(platform::RegistryRoot root);
};

} // namespace core
