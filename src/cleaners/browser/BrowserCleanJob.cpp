#include "cleaners/browser/BrowserCleanJob.h"

#include "cleaners/browser/BrowserFolders.h"
#include "cleaners/browser/TEasyFileSearch.h"
#include "core/FolderCheck.h"

QString BrowserCleanJob::valueName(Store store)
{
    return store == Store::Cache ? QStringLiteral("Cache") : QStringLiteral("Cookies");
}

BrowserCleanJob::BrowserCleanJob(Store store, TEasyFileSearch& search)
    : store_(store)
    , search_(search)
{
    search_.FilterKind = {};
    if (store == Store::Cache) {
        search_.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForDirectory, okLookForArchiveFile};
        search_.setFilter(QStringLiteral("*.*"));
    } else {
        search_.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForArchiveFile};
        search_.setFilter(QStringLiteral("*.txt"));
    }
}

BrowserCleanJob::Result BrowserCleanJob::scan(const core::Context&, core::JobSink& sink)
{
    const QString name = valueName(store_);
    if (!BrowserFolders::ReadShellFolders(name, folder_) || folder_.trimmed().isEmpty())
        return Result::NoFolder;
    // A wrong value must not empty a drive, the system or the user's files.
    const core::EmptiableFolder folder = core::FolderCheck::emptiable(folder_, name);
    if (folder.state == core::EmptiableFolder::State::Refused) {
        sink.warning(QStringLiteral("the %1 folder \"%2\" may not be emptied").arg(name, folder_));
        return Result::NoFolder;
    }
    // A store not made yet is an empty store.
    if (folder.state == core::EmptiableFolder::State::Missing)
        return Result::Missing;
    search_.setRootPath(folder.path);
    qsizetype count = 0;
    search_.OnFileFinded = [&sink, &count](const TFileInformations& entry) {
        core::Finding found;
        found.path = entry.Path + entry.Name;
        found.id = entry.Id;
        found.size = quint32(entry.Size);
        ++count;
        sink.found(found);
    };
    if (sink.wantsProgress())
        search_.OnChangeFolder = [&sink, &count](const QString& where) { sink.progress(where, count); };
    struct Unhook {
        TEasyFileSearch& search;
        ~Unhook()
        {
            search.OnFileFinded = nullptr;
            search.OnChangeFolder = nullptr;
        }
    } unhook{search_};
    search_.Execute();
    return Result::Searched;
}
