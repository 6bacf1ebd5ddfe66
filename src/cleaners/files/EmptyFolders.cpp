#include "cleaners/files/EmptyFolders.h"

#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "core/PrefixSkeleton.h"

#include <QSet>
#include <algorithm>

using platform::FolderListing;

namespace EmptyFolders {

QList<int> parentRows(const QStringList& texts)
{
    // Sorted, the texts that begin with a text follow it directly, so
    // looking at the next different text gives the same answer as
    // comparing all pairs.
    QStringList sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    QSet<QString> parents;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        qsizetype next = i + 1;
        while (next < sorted.size() && sorted[next] == sorted[i])
            ++next;
        if (next < sorted.size() && sorted[next].startsWith(sorted[i]))
            parents.insert(sorted[i]);
    }
    QList<int> rows;
    for (int row = 0; row < texts.size(); ++row)
        if (parents.contains(texts[row]))
            rows.append(row);
    return rows;
}

namespace {

// The first file with content, or anything that may not be judged, ends
// the walk with a size other than 0.
struct ContentSize : platform::FolderWalkVisitor {
    quint64 size = 0;

    platform::WalkStep opened(const FolderListing& listing, const QString&)
    {
        size = listing.withheld() || listing.folderIsPackaged() ? 1 : 0;
        return size ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep visit(const FolderListing& listing, const Entry& e, const QString&)
    {
        if (e.isDirectory)
            return platform::WalkStep::Pass;
        size = listing.isSpecialFile(e) ? 1 : listing.sizeOf(e);
        if (!size && listing.isPackaged(e))
            size = 1;
        return size ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const FolderListing& listing, const Entry& e, const QString&)
    {
        if (!e.isDirectory)
            return platform::WalkStep::Skip;
        if (listing.isMountPoint(e)) {
            size = 1;
            return platform::WalkStep::Stop;
        }
        return platform::WalkStep::Enter;
    }

    // The walk needs no folder texts.
    QString childFolder(const QString&, QStringView) const { return {}; }
};

} // namespace

quint64 contentSize(const QString& path)
{
    FolderListing listing;
    if (!listing.read(path))
        return 0;
    ContentSize content;
    platform::walkFolders(std::move(listing), QString(), content);
    return content.size;
}

QList<int> nonEmptyRows(const QStringList& paths, const QList<TFindDirs::Contents>& contents)
{
    using Contents = TFindDirs::Contents;
    const core::PrefixSkeleton skeleton;
    QList<int> rows;
    for (int row = 0; row < paths.size(); ++row) {
        const Contents judged = contents.value(row, Contents::Unknown);
        const bool content = judged == Contents::Unknown ? contentSize(paths[row]) != 0 : judged == Contents::Some;
        if (skeleton.contains(paths[row]) || content)
            rows.append(row);
    }
    return rows;
}

} // namespace EmptyFolders
