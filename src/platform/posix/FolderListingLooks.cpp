// What the readers ahead of a walk need from a listing: a copy with its own
// handle for another thread, and the kinds of names the walk's own thread
// looks at one by one, so the readers fetch those and no others.

#include "platform/FolderListing.h"

#include <algorithm>

#include <fcntl.h>

namespace platform {

namespace {

thread_local FolderListing::LookedAt looked;

// A name's kind: up to eight bytes after its last dot, ASCII letters in
// lower case; 1 for a name without a dot.
quint64 kindOf(QByteArrayView name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return 1;
    quint64 kind = 0;
    for (qsizetype i = dot + 1; i < name.size() && i <= dot + 8; ++i) {
        const char c = name[i];
        kind = (kind << 8) | quint8(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return kind;
}

} // namespace

FolderListing FolderListing::duplicate() const
{
    FolderListing copy;
    copy.folder_ = folder_;
    copy.entries_ = entries_;
    copy.text_ = text_;
    copy.host_ = host_;
    copy.mountId_ = mountId_;
    copy.deviceId_ = deviceId_;
    copy.folderInode_ = folderInode_;
    copy.fd_ = posix::UniqueFd(fd_.valid() ? ::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0) : -1);
    copy.inode_ = inode_;
    copy.inodeDevice_ = inodeDevice_;
    copy.error_ = error_;
    copy.shared_ = shared_;
    copy.checkOwners_ = checkOwners_;
    copy.withheld_ = withheld_;
    copy.excludedNames_ = excludedNames_;
    return copy;
}

bool FolderListing::LookedAt::covers(QByteArrayView hostName) const
{
    if (many)
        return true;
    const quint64 kind = kindOf(hostName);
    return std::find(kinds.begin(), kinds.begin() + count, kind) != kinds.begin() + count;
}

const FolderListing::LookedAt& FolderListing::lookedAt()
{
    return looked;
}

void FolderListing::forgetLooks()
{
    looked = {};
}

void FolderListing::noteFirstFileLooks()
{
    looked = {};
    looked.firstFile = true;
}

void FolderListing::noteLook(const Entry& e) const
{
    if (e.isDirectory || looked.many || looked.covers(hostName(e)))
        return;
    if (looked.count == LookedAt::kKinds)
        looked.many = true;
    else
        looked.kinds[size_t(looked.count++)] = kindOf(hostName(e));
}

} // namespace platform
