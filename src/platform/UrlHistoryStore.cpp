#include "platform/UrlHistoryStore.h"

#include "platform/DeletionPass.h"
#include "platform/FileAttributes.h"
#include "platform/FileFinder.h"
#include "platform/FolderCheck.h"
#include "platform/RegistryKey.h"
#include "platform/ShellDelete.h"
#include "platform/WinPath.h"
#include "platform/WinePrefix.h"

namespace platform {

std::unique_ptr<UrlHistoryStore> UrlHistoryStore::create()
{
    if (!WinePrefix::active())
        return nullptr;
    RegistryKey key;
    QString folder;
    if (!key.open(RegistryRoot::CurrentUser,
                  QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"), false)
        || !key.readString(QStringLiteral("History"), folder) || !FolderCheck::isPlainFolder(folder))
        return nullptr;
    return std::unique_ptr<UrlHistoryStore>(new UrlHistoryStore(WinPath::excludeTrailingBackslash(folder)));
}

bool UrlHistoryStore::ClearHistory()
{
    if (!FolderCheck::isPlainFolder(folder_))
        return false;
    QStringList entries;
    FileFinder finder;
    for (bool more = finder.findFirst(folder_ + QStringLiteral("\\*.*"), faAnyFile); more; more = finder.findNext())
        if (finder.name() != QLatin1String(".") && finder.name() != QLatin1String(".."))
            entries.append(folder_ + u'\\' + finder.name());
    finder.close();
    bool all = true;
    const DeletionPass pass;
    for (const QString& entry : entries)
        all = ShellDelete::erase(entry) && all;
    return all;
}

} // namespace platform
