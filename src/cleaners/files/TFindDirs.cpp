#include "cleaners/files/TFindDirs.h"

#include "cleaners/files/EInOutError.h"
#include "platform/FileAttributes.h"
#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "platform/PathMapper.h"

#include <vector>

using platform::FolderListing;
using platform::PathMapper;

// The finder's part in the shared walk: folders only, hidden and system
// ones skipped, each listed after its own sub-folders.
struct TFindDirs::Visitor : platform::FolderWalkVisitor {
    TFindDirs& find;
    std::vector<platform::EntryId> pending; // of the folders whose turn is on, innermost last

    platform::WalkStep descend(const FolderListing& listing, const Entry& e, const QString&)
    {
        constexpr quint32 skipped = platform::faHidden | platform::faSysFile | platform::faVolumeID
            | platform::faMountPoint;
        if (!e.isDirectory)
            return platform::WalkStep::Skip;
        platform::EntryId id;
        if ((listing.attributesOf(e, id) & skipped) || id.kind != platform::EntryKind::Folder)
            return platform::WalkStep::Skip;
        pending.push_back(id);
        return find.Recursive ? platform::WalkStep::Enter : platform::WalkStep::Pass;
    }

    platform::WalkStep unreadable(const FolderListing& child, const FolderListing&, const Entry&, const QString& folder)
    {
        PathMapper::setCurrentDirectory(PathOf(folder));
        throw EInOutError(child.lastError());
    }

    platform::WalkStep after(const FolderListing& listing, const Entry& e, const QString& folder)
    {
        find.DirsFound.append(childFolder(folder, listing.name(e)));
        find.FoundIds.append(pending.back());
        pending.pop_back();
        return platform::WalkStep::Pass;
    }

    QString childFolder(const QString& folder, QStringView name) const
    {
        QString text;
        text.reserve(folder.size() + 1 + name.size());
        return text.append(folder).append(u'\\').append(name);
    }
};

void TFindDirs::Execute()
{
    if (!PathMapper::setCurrentDirectory(StartDir))
        return;
    FolderListing root;
    if (root.read(StartDir)) {
        Visitor visitor{{}, *this, {}};
        platform::walkFolders(std::move(root), StartDir, visitor);
    }
    PathMapper::setCurrentDirectory(StartDir);
}

QString TFindDirs::PathOf(const QString& entry)
{
    if (entry.mid(2, 2) == u"\\\\")
        return entry.left(2) + entry.mid(3);
    return entry;
}
