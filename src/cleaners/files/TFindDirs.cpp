#include "cleaners/files/TFindDirs.h"

#include "cleaners/files/EInOutError.h"
#include "platform/FileAttributes.h"
#include "platform/FolderListing.h"
#include "platform/PathMapper.h"

using platform::FolderListing;
using platform::PathMapper;

void TFindDirs::Execute()
{
    if (!PathMapper::setCurrentDirectory(StartDir))
        return;
    FolderListing root;
    if (root.read(StartDir))
        walk(root, StartDir);
    PathMapper::setCurrentDirectory(StartDir);
}

void TFindDirs::walk(const FolderListing& listing, const QString& path)
{
    constexpr quint32 skipped = platform::faHidden | platform::faSysFile | platform::faVolumeID | platform::faMountPoint;
    for (const FolderListing::Entry& e : listing.entries()) {
        if (!e.isDirectory)
            continue;
        platform::EntryId id;
        if ((listing.attributesOf(e, id) & skipped) || id.kind != platform::EntryKind::Folder)
            continue;
        QString childPath = path;
        childPath.append(u'\\').append(listing.name(e));
        if (Recursive) {
            FolderListing child;
            if (!child.readChild(listing, e)) {
                PathMapper::setCurrentDirectory(PathOf(path));
                throw EInOutError(child.lastError());
            }
            walk(child, childPath);
        }
        DirsFound.append(childPath);
        FoundIds.append(id);
    }
}

QString TFindDirs::PathOf(const QString& entry)
{
    if (entry.mid(2, 2) == u"\\\\")
        return entry.left(2) + entry.mid(3);
    return entry;
}
