#include "cleaners/browser/BrowserFolders.h"

#include "platform/RegistryKey.h"
#include "core/ShellFolders.h"

using namespace platform;
using namespace core;

bool BrowserFolders::ReadShellFolders(const QString& valueName, QString& folder)
{
    folder.clear();
    RegistryKey key;
    if (!key.open(RegistryRoot::CurrentUser, ShellFolders::keyPath(), false))
        return true;
    const bool ok = key.readString(valueName, folder);
    key.close();
    return ok;
}
