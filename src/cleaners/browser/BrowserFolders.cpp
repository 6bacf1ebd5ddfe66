#include "cleaners/browser/BrowserFolders.h"

#include "platform/FolderCheck.h"
#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/RegistryKey.h"
#include "platform/WinePrefix.h"

using namespace platform;

namespace {

const QString kShellFolders = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

} // namespace

bool BrowserFolders::ReadShellFolders(const QString& valueName, QString& folder)
{
    folder.clear();
    RegistryKey key;
    if (!key.open(RegistryRoot::CurrentUser, kShellFolders, false))
        return true;
    const bool ok = key.readString(valueName, folder);
    key.close();
    return ok;
}

bool BrowserFolders::IsSafeToEmpty(const QString& folder)
{
    if (folder.trimmed().isEmpty() || !FolderCheck::isPlainFolder(folder))
        return false;
    const QString host = FolderCheck::realHostFolder(PathMapper::toHost(folder));
    if (host.isEmpty() || host == QLatin1String("/"))
        return false;
    QStringList guarded = {FolderCheck::realHostFolder(PathMapper::toHost(KnownFolders::windowsDir())), FolderCheck::realHomeFolder()};
    if (WinePrefix::active())
        guarded << FolderCheck::realHostFolder(PathMapper::toHost(QStringLiteral("c:\\users\\") + WinePrefix::userName()));
    for (const QString& g : guarded) {
        // A guarded folder holding the candidate is fine (the cache lives
        // in the profile); the candidate being or holding one is not.
        if (!g.isEmpty() && (host == g || g.startsWith(host + u'/')))
            return false;
    }
    return true;
}
