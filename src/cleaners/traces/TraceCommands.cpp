#include "cleaners/traces/TraceCommands.h"

#include "core/FolderCheck.h"
#include "core/OutcomeSink.h"
#include "platform/RecentFiles.h"
#include "platform/RegistryKey.h"
#include "core/ShellFolders.h"
#include "core/UrlHistoryStore.h"
#include "platform/WinePrefix.h"
#include "platform/ShellDelete.h"
#include "core/Disposal.h"

using namespace platform;
using namespace core;

namespace {

const QString kMemory = QStringLiteral("SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management");
const QString kPagefileValue = QStringLiteral("ClearPageFileAtShutdown");

QString recentFolder()
{
    RegistryKey key;
    QString folder;
    if (!key.open(RegistryRoot::CurrentUser, core::ShellFolders::keyPath(), false)
        || !key.readString(QStringLiteral("Recent"), folder))
        return {};
    return folder;
}

} // namespace

void TraceCommands::ClearRecentDocuments(TFindFile& finder)
{
    // On the host the desktop keeps its recent files in one list of its
    // own; inside a prefix the Recent folder is what Windows programs fill.
    if (!platform::WinePrefix::active())
        platform::RecentFiles::clear();
    finder.Files.clear();
    const EmptiableFolder folder = FolderCheck::emptiable(recentFolder(), QStringLiteral("Recent"));
    finder.Directory = folder.state == EmptiableFolder::State::Present ? folder.path : QString();
    finder.Execute();
    // Only what is a file (or a link) now is offered, and it is erased only
    // while it stays the entry looked at: a folder put in a listed file's
    // place is never erased with its content.
    QList<Finding> findings;
    for (const QString& file : finder.Files) {
        const platform::EntryId id = platform::ShellDelete::idOf(file);
        if (id.kind == platform::EntryKind::File || id.kind == platform::EntryKind::Link)
            findings.append({file, id});
    }
    DisposeAll(findings, Disposal::Erase, OutcomeSink());
}

void TraceCommands::ClearHistoryLists()
{
    if (std::unique_ptr<UrlHistoryStore> store = UrlHistoryStore::create())
        store->ClearHistory();
}

bool TraceCommands::ClearTypedUrls()
{
    RegistryKey ie;
    if (ie.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\"), false))
        ie.deleteKey(QStringLiteral("TypedURLs"));
    ie.close();
    RegistryKey typed;
    return typed.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"),
                      true)
        && typed.canWrite();
}

bool TraceCommands::PagefileFlag()
{
    RegistryKey key;
    quint32 value = 0;
    return key.open(RegistryRoot::LocalMachine, kMemory, true) && key.valueExists(kPagefileValue)
        && key.readInteger(kPagefileValue, value) && value == 1;
}

bool TraceCommands::SetPagefileFlag(bool on)
{
    RegistryKey key;
    return key.open(RegistryRoot::LocalMachine, kMemory, true) && key.writeInteger(kPagefileValue, on ? 1 : 0);
}
