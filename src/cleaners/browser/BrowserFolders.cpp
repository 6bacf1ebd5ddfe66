#include "cleaners/browser/BrowserFolders.h"

#include "platform/RegistryKey.h"

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
