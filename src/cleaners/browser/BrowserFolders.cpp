#include "cleaners/browser/BrowserFolders.h"

#include "platform/FolderCheck.h"
#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/RegistryKey.h"
#include "platform/WinePrefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace platform;

namespace {

const QString kShellFolders = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

// The host folder with links resolved where it exists, as written where it
// does not; no trailing "/" except for the root.
QString realHost(const QByteArray& host)
{
    if (host.isEmpty())
        return {};
    const QString text = QFile::decodeName(host);
    const QString canonical = QFileInfo(text).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? text : canonical);
}

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
    const QString host = realHost(PathMapper::toHost(folder));
    if (host.isEmpty() || host == QLatin1String("/"))
        return false;
    QStringList guarded = {realHost(PathMapper::toHost(KnownFolders::windowsDir())), realHost(QFile::encodeName(QDir::homePath()))};
    if (WinePrefix::active())
        guarded << realHost(PathMapper::toHost(QStringLiteral("c:\\users\\") + WinePrefix::userName()));
    for (const QString& g : guarded) {
        // A guarded folder holding the candidate is fine (the cache lives
        // in the profile); the candidate being or holding one is not.
        if (!g.isEmpty() && (host == g || g.startsWith(host + u'/')))
            return false;
    }
    return true;
}
