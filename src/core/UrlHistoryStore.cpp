#include "core/UrlHistoryStore.h"

#include "core/Disposal.h"
#include "core/OutcomeSink.h"
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
    // Each entry goes only while it is the entry listed: one put in its
    // place since is left.
    QList<Finding> entries;
    FileFinder finder;
    for (bool more = finder.findFirst(folder + QStringLiteral("\\*.*"), faAnyFile); more; more = finder.findNext())
        if (finder.name() != QLatin1String(".") && finder.name() != QLatin1String("..")) {
            const QString entry = folder + u'\\' + finder.name();
            entries.append({entry, ShellDelete::idOf(entry)});
        }
    finder.close();
    bool all = true;
    OutcomeSink outcomes;
    outcomes.subscribe([&all](const CleanOutcome& outcome) { all = all && outcome.kind == OutcomeKind::Deleted; });
    DisposeAll(entries, Disposal::Erase, outcomes);
    return all;
}

} // namespace core
