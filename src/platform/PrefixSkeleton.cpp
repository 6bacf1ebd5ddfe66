#include "platform/PrefixSkeleton.h"

#include "platform/KnownFolders.h"
#include "platform/RegistryKey.h"
#include "platform/WinPath.h"
#include "platform/WinePrefix.h"

namespace platform {

namespace {

const QString kShellFolders = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

QString folded(const QString& winFolder)
{
    return WinPath::foldedCase(WinPath::excludeTrailingBackslash(winFolder));
}

} // namespace

PrefixSkeleton::PrefixSkeleton()
{
    if (!WinePrefix::active())
        return;
    windowsDir_ = WinPath::includeTrailingBackslash(folded(KnownFolders::windowsDir()));
    for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        RegistryKey key;
        if (!key.open(root, kShellFolders, false))
            continue;
        for (const QString& name : key.valueNames()) {
            QString folder;
            if (key.readString(name, folder) && !folder.isEmpty())
                shellFolders_.append(folded(folder));
        }
    }
}

bool PrefixSkeleton::contains(const QString& winFolder) const
{
    if (windowsDir_.isEmpty())
        return false;
    const QString f = folded(winFolder);
    return WinPath::includeTrailingBackslash(f).startsWith(windowsDir_) || shellFolders_.contains(f);
}

} // namespace platform
