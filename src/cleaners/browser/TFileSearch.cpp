#include "cleaners/browser/TFileSearch.h"

#include "cleaners/browser/EFileSearchError.h"
#include "cleaners/browser/TSearchMask.h"
#include "platform/FileAttributes.h"
#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "platform/LocalTime.h"
#include "platform/TickCounter.h"
#include "formats/WinPath.h"

using namespace platform;

namespace {

constexpr quint32 kCountedBits = faReadOnly | faHidden | faSysFile | faDirectory | faArchive;

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

void TFileSearch::examine(const FolderListing& listing, const FolderListing::Entry& e, const QString& folder,
                          const TSearchMask& mask, Counters& counters) const
{
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

// The engine's part in the shared walk: every entry examined, sub-folders
// queued when asked to, each folder announced before it is read.
struct TFileSearch::Visitor : platform::FolderWalkVisitor {
    const TFileSearch& search;
    const TSearchMask& mask;
    Counters& counters;
    QString folder; // of the entries being examined, with its backslash

    platform::WalkStep descend(const FolderListing&, const Entry& e, const QString&)
    {
        return e.isDirectory && search.IncludeSubfolders ? WalkStep::Enter : WalkStep::Skip;
    }

    platform::WalkStep visit(const FolderListing& listing, const Entry& e, const QString&)
    {
        search.examine(listing, e, folder, mask, counters);
        return WalkStep::Pass;
    }

    platform::WalkStep arrive(const QString& path)
    {
        if (search.OnChangeFolder)
            search.OnChangeFolder(path);
        folder = formats::WinPath::includeTrailingBackslash(path);
        return WalkStep::Pass;
    }

    // Another file system is never entered; any other folder that cannot
    // be read ends the walk.
    platform::WalkStep unreadable(const FolderListing& child, const FolderListing&, const Entry&, const QString&)
    {
        return child.refusedOtherMount() ? WalkStep::Pass : WalkStep::Stop;
    }

    // Reported as the parent's text and the name, without a backslash.
    QString childFolder(const QString& parent, QStringView name) const
    {
        return formats::WinPath::includeTrailingBackslash(parent) + name.toString();
    }
};

bool TFileSearch::walk(const TSearchMask& mask, Counters& counters) const
{
    if (OnChangeFolder)
        OnChangeFolder(RootPath);
    if (RootPath.isEmpty())
        throw EFileSearchError(QStringLiteral("The search path is empty"));
    const QString folder = formats::WinPath::includeTrailingBackslash(RootPath);
    FolderListing root;
    // A drive root with no entries cannot be listed on Windows.
    if (!root.read(folder) || (root.entries().empty() && root.isDriveRoot()))
        return false;
    Visitor visitor{{}, *this, mask, counters, folder};
    return platform::walkFoldersBreadthFirst(std::move(root), folder, visitor);
}

bool TFileSearch::Execute()
{
    const TSearchMask mask(Filter);
    Counters counters;
    const quint32 start = TickCounter::now();
    const bool complete = walk(mask, counters);
    TStatistics stats;
    stats.FilesFound = counters.files;
    stats.FoldersFound = counters.folders;
    stats.ElapsedMs = qint32(TickCounter::now() - start);
    if (OnStatistics)
        OnStatistics(stats);
    return complete;
}
