#include "cleaners/browser/TFileSearch.h"

#include "cleaners/browser/EFileSearchError.h"
#include "cleaners/browser/TSearchMask.h"
#include "platform/FileAttributes.h"
#include "platform/FolderListing.h"
#include "platform/LocalTime.h"
#include "platform/TickCounter.h"
#include "platform/WinPath.h"

#include <deque>
#include <memory>

using namespace platform;

namespace {

constexpr quint32 kCountedBits = faReadOnly | faHidden | faSysFile | faDirectory | faArchive;

// A folder waiting its turn: its path as reported, and the listing and
// entry it is read through (none for the root).
struct Pending {
    QString path;
    std::shared_ptr<const FolderListing> parent;
    int index = 0;
};

} // namespace

quint32 TFileSearch::WantedAttributes() const
{
    return (LookForReadOnly ? faReadOnly : 0u) | (LookForHidden ? faHidden : 0u) | (LookForSystem ? faSysFile : 0u)
        | (LookForDirectory ? faDirectory : 0u) | (LookForArchive ? faArchive : 0u);
}

bool TFileSearch::dateMatches(const QDate& date) const
{
    switch (DateFilterKind) {
    case dfkBetween:
        return FirstDate <= date && date <= SecondDate;
    case dfkBefore:
        return date < FirstDate;
    case dfkAfter:
        return date > FirstDate;
    case dfkSame:
        return date == FirstDate;
    }
    return false;
}

bool TFileSearch::PassesDateFilter(const TFileInformations& info) const
{
    if (!DateFilterOn)
        return true;
    const bool created = dateMatches(info.CreationTime.date());
    const bool modified = dateMatches(info.LastWriteTime.date());
    const bool opened = dateMatches(info.LastAccessTime.date());
    switch (DateFilterAccess) {
    case dfakCreatedFiles:
        return created;
    case dfakModifiedFiles:
        return modified;
    case dfakOpenedFiles:
        return opened;
    case dfakAnyFiles:
        return created || modified || opened;
    }
    return false;
}

bool TFileSearch::PassesSizeFilter(const TFileInformations& info) const
{
    if (!SizeFilterOn)
        return true;
    return SizeFilterKind == sfkSmallerOrEqualTo ? info.Size <= SizeFilterSize : info.Size >= SizeFilterSize;
}

void TFileSearch::examine(const FolderListing& listing, int index, const QString& folder, const TSearchMask& mask,
                          Counters& counters) const
{
    const FolderListing::Entry& e = listing.entries()[size_t(index)];
    const QStringView name = listing.name(e);
    const bool everyFolder = Filter == QLatin1String("*.*");
    // The name test is the cheapest, so it goes first; every test is a
    // plain filter, so the order does not change what is kept.
    const bool nameMatches = mask.matches(name);
    if (!nameMatches && !(e.isDirectory && everyFolder))
        return;
    const FolderListing::Details d = listing.detailsOf(e);
    if (!d.valid || (d.attributes & faMountPoint))
        return;
    quint32 attributes = d.attributes;
    if (d.id.kind == EntryKind::Link)
        attributes |= faArchive;
    if (!(attributes & WantedAttributes() & kCountedBits) && !AnyFile)
        return;
    const bool isFolder = attributes & faDirectory;
    if (!(nameMatches || (isFolder && everyFolder)))
        return;
    TFileInformations info;
    info.Name = name.toString();
    info.Path = folder;
    info.Attributes = attributes;
    info.Size = qint32(quint32(d.size & 0xFFFFFFFFu));
    info.Id = d.id;
    if (DateFilterOn || OnFileFinded) {
        info.CreationTime = LocalTime::fromUtc(d.times.creation);
        info.LastAccessTime = LocalTime::fromUtc(d.times.lastAccess);
        info.LastWriteTime = LocalTime::fromUtc(d.times.lastWrite);
    }
    if (!PassesDateFilter(info) || !PassesSizeFilter(info))
        return;
    ++(isFolder ? counters.folders : counters.files);
    if (OnFileFinded)
        OnFileFinded(info);
}

bool TFileSearch::Execute()
{
    std::deque<Pending> queue;
    const TSearchMask mask(Filter);
    Counters counters;
    const quint32 start = TickCounter::now();
    queue.push_back({RootPath, nullptr, 0});
    bool complete = true;
    while (!queue.empty()) {
        Pending next = std::move(queue.front());
        queue.pop_front();
        if (OnChangeFolder)
            OnChangeFolder(next.path);
        if (next.path.isEmpty())
            throw EFileSearchError(QStringLiteral("The search path is empty"));
        const QString folder = WinPath::includeTrailingBackslash(next.path);
        auto listing = std::make_shared<FolderListing>();
        bool read = false;
        if (!next.parent) {
            // A drive root with no entries cannot be listed on Windows.
            read = listing->read(folder) && !(listing->entries().empty() && listing->isDriveRoot());
        } else {
            read = listing->readChild(*next.parent, next.parent->entries()[size_t(next.index)]);
            if (!read && listing->refusedOtherMount())
                continue; // another file system: never entered
        }
        next.parent.reset();
        if (!read) {
            complete = false;
            break;
        }
        const auto& entries = listing->entries();
        for (int i = 0; i < int(entries.size()); ++i) {
            if (entries[size_t(i)].isDirectory && IncludeSubfolders)
                queue.push_back({folder + listing->name(entries[size_t(i)]).toString(), listing, i});
            examine(*listing, i, folder, mask, counters);
        }
    }
    TStatistics stats;
    stats.FilesFound = counters.files;
    stats.FoldersFound = counters.folders;
    stats.ElapsedMs = qint32(TickCounter::now() - start);
    if (OnStatistics)
        OnStatistics(stats);
    return complete;
}
