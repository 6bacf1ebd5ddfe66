#include "core/UrlHistoryStore.h"

#include "platform/DeletionPass.h"
#include "platform/FileAttributes.h"
#include "platform/FileFinder.h"
#include "core/FolderCheck.h"
#include "platform/RegistryKey.h"
#include "platform/ShellDelete.h"
#include "core/ShellFolders.h"
#include "platform/WinePrefix.h"

namespace core {

using namespace platform;

namespace {

const QString kValue = QStringLiteral("History");

} // namespace

std::unique_ptr<UrlHistoryStore> UrlHistoryStore::create()
{
    if (!WinePrefix::active())
        return nullptr;
    RegistryKey key;
    QString folder;
    if (!key.open(RegistryRoot::CurrentUser, ShellFolders::keyPath(), false) || !key.readString(kValue, folder))
        return nullptr;
    const EmptiableFolder judged = FolderCheck::emptiable(folder, kValue);
    if (judged.state != EmptiableFolder::State::Present)
        return nullptr;
    return std::unique_ptr<UrlHistoryStore>(new UrlHistoryStore(judged.path));
}

bool UrlHistoryStore::ClearHistory()
{
    // Judged again: the registry or the disk may have changed since.
    const EmptiableFolder judged = FolderCheck::emptiable(folder_, kValue);
    if (judged.state != EmptiableFolder::State::Present)
        return false;
    const QString folder = judged.path;
    QStringList entries;
    FileFinder finder;
    for (bool more = finder.findFirst(folder + QStringLiteral("\\*.*"), faAnyFile); more; more = finder.findNext())
        if (finder.name() != QLatin1String(".") && finder.name() != QLatin1String(".."))
            entries.append(folder + u'\\' + finder.name());
    finder.close();
    bool all = true;
    const DeletionPass pass;
    for (const QString& entry : entries)
        all = ShellDelete::erase(entry) && all;
    return all;
}

} // namespace core
