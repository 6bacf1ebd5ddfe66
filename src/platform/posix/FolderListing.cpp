#include "platform/FolderListing.h"
#include "platform/TestSeams.h"

#include "platform/FolderStatAhead.h"
#include "platform/Diagnostics.h"
#include "formats/HostNameCodec.h"
#include "formats/NameOrder.h"
#include "platform/PackageFiles.h"
#include "platform/PathMapper.h"
#include "platform/TmpfilesExclusions.h"
#include "posix/EntryAttributes.h"
#include "posix/Handles.h"
#include "posix/HostErrors.h"
#include "posix/SharedFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fnmatch.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Identity {
    quint64 mount = 0; // 0 when the kernel does not report mount ids
    quint64 device = 0;
};

bool identify(int fd, Identity& id)
{
    struct statx st {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &st) != 0 || !S_ISDIR(st.stx_mode))
        return false;
    id.mount = (st.stx_mask & STATX_MNT_ID) ? st.stx_mnt_id : 0;
    id.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    return true;
}

bool isDot(const char* n)
{
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}

// Code units of a name that Entry::sortKey holds, case-folded.
constexpr qsizetype kSortKeyUnits = 4;

// Entries whose sorting space a thread keeps between folders (192 KiB);
// a bigger folder's is given back, since reading it costs far more.
constexpr size_t kScratchKept = 4096;

// Where the next entry's names go: the listing's name buffers are sized
// ahead of the entries while a folder is read, and cut to these at its end.
qsizetype hostEnd(const std::vector<FolderListing::Entry>& entries)
{
    return entries.empty() ? 0 : qsizetype(entries.back().hostOffset) + entries.back().hostLength + 1;
}

qsizetype textEnd(const std::vector<FolderListing::Entry>& entries)
{
    return entries.empty() ? 0 : qsizetype(entries.back().nameOffset) + entries.back().nameLength;
}

// Makes room for the entries of `bytes` more bytes of getdents records: a
// record holds at least 24 bytes and its name with the NUL, and no name
// decodes to more code units than it has bytes. Sizes at least double, so
// a huge folder read in many pieces is copied a few times, not once a piece.
void makeRoom(qsizetype bytes, std::vector<FolderListing::Entry>& entries, QByteArray& host, QString& text)
{
    constexpr size_t kSmallestRecord = 24;
    const size_t entriesNeeded = entries.size() + size_t(bytes) / kSmallestRecord;
    if (entries.capacity() < entriesNeeded)
        entries.reserve(std::max(entriesNeeded, 2 * entries.capacity()));
    const qsizetype hostNeeded = hostEnd(entries) + bytes;
    if (host.size() < hostNeeded)
        host.resize(std::max(hostNeeded, 2 * host.size()));
    const qsizetype textNeeded = textEnd(entries) + bytes;
    if (text.size() < textNeeded)
        text.resize(std::max(textNeeded, 2 * text.size()));
}

// Cuts a name buffer to what the entries use; gives the rest back when it
// is much (only a big folder's is), since a listing may live a while.
template <class Buffer> void fitNames(qsizetype used, Buffer& names)
{
    constexpr qsizetype kSpareKept = 64 * 1024;
    const bool wasteful = names.size() - used > kSpareKept;
    names.truncate(used);
    if (wasteful)
        names.squeeze();
}

// Puts entries in name order (NameOrder). Sorts small records of key and
// position, nearly all told apart by the key alone, and moves each entry
// once; a folder of a few dozen entries, the common case, by insertion,
// which mispredicts about once per entry. The scratch space is kept per
// thread, so a walk allocates it a few times, not once a folder.
// Code units that every name of a big folder shares at its start, folded
// ("file_number_00001.tmp", "file_number_00002.tmp", ...): keys made past
// them tell the names apart where keys of their first units cannot.
qsizetype sharedStart(const std::vector<FolderListing::Entry>& entries, QStringView text)
{
    const QStringView first = text.mid(entries[0].nameOffset, entries[0].nameLength);
    qsizetype shared = first.size();
    for (const FolderListing::Entry& e : entries) {
        const QStringView name = text.mid(e.nameOffset, e.nameLength);
        shared = qMin(shared, name.size());
        qsizetype i = 0;
        while (i < shared && formats::NameOrder::fold(name[i]) == formats::NameOrder::fold(first[i]))
            ++i;
        shared = i;
        if (shared < kSortKeyUnits)
            return 0;
    }
    return shared;
}

quint64 sortKeyFrom(QStringView name, qsizetype from)
{
    quint64 key = 0;
    for (qsizetype i = from; i < from + kSortKeyUnits; ++i)
        key = (key << 16) | (i < name.size() ? formats::NameOrder::fold(name[i]) : 0u);
    return key;
}

void sortByName(std::vector<FolderListing::Entry>& entries, QStringView text)
{
    struct Slot {
        quint64 key;
        quint32 index;
    };
    constexpr size_t kInsertionMost = 48;
    const size_t n = entries.size();
    // Keys hold the units from `from` on; all before fold alike.
    const qsizetype from = n > kInsertionMost ? sharedStart(entries, text) : 0;
    const auto less = [&](const Slot& a, const Slot& b) {
        if (a.key != b.key)
            return a.key < b.key;
        // equal keys: the first from + kSortKeyUnits units (or all of two
        // shorter names) already fold alike
        const FolderListing::Entry &ea = entries[a.index], &eb = entries[b.index];
        const QStringView x = text.mid(ea.nameOffset, ea.nameLength), y = text.mid(eb.nameOffset, eb.nameLength);
        return formats::NameOrder::compare(x, y, qMin(from + kSortKeyUnits, qMin(x.size(), y.size()))) < 0;
    };
    thread_local std::vector<Slot> slots;
    thread_local std::vector<FolderListing::Entry> sorted;
    slots.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const FolderListing::Entry& e = entries[i];
        slots[i] = {from == 0 ? e.sortKey : sortKeyFrom(text.mid(e.nameOffset, e.nameLength), from), quint32(i)};
    }
    if (n > kInsertionMost) {
        std::sort(slots.begin(), slots.end(), less);
    } else {
        for (size_t i = 1; i < n; ++i) {
            const Slot s = slots[i];
            size_t j = i;
            for (; j > 0 && less(s, slots[j - 1]); --j)
                slots[j] = slots[j - 1];
            slots[j] = s;
        }
    }
    sorted.resize(n);
    for (size_t i = 0; i < n; ++i)
        sorted[i] = entries[slots[i].index];
    std::copy(sorted.begin(), sorted.end(), entries.begin());
    if (sorted.capacity() > kScratchKept) { // after a huge folder
        sorted = {};
        slots = {};
    }
}

QDateTime timeOf(const statx_timestamp& t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, Qt::UTC);
}

} // namespace

FolderListing::FolderListing() = default;

// The folder's handle is a UniqueFd: moving and ending need nothing more.
FolderListing::~FolderListing() = default;
FolderListing::FolderListing(FolderListing&&) noexcept = default;
FolderListing& FolderListing::operator=(FolderListing&&) noexcept = default;

void FolderListing::releaseFolder()
{
    fd_.reset();
}

std::function<int(const QByteArray&)>& accessFilter()
{
    static std::function<int(const QByteArray&)> filter;
    return filter;
}

void testseams::setAccessFilter(std::function<int(const QByteArray&)> filter)
{
    accessFilter() = std::move(filter);
}

bool FolderListing::refused(const QByteArray& host)
{
    error_ = accessFilter() ? accessFilter()(host) : 0;
    return error_ != 0;
}

bool FolderListing::refusedOtherMount() const
{
    return error_ == EXDEV;
}

int FolderListing::lastError() const
{
    return posix::windowsErrorOf(error_);
}

bool FolderListing::read(const QString& winFolder)
{
    clear();
    const QByteArray host = PathMapper::toHost(winFolder.isEmpty() ? PathMapper::currentDirectory() : winFolder);
    if (host.isEmpty()) {
        error_ = ENOENT;
        return false;
    }
    if (refused(host))
        return false;
    posix::allowManyOpenFolders();
    // The folder named by the caller may itself be reached through a link
    // (a temporary folder often is); only what lies below it is never followed.
    posix::UniqueFd fd(::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        error_ = errno;
        return false;
    }
    Identity id;
    if (!identify(fd.get(), id)) {
        error_ = ENOTDIR;
        return false;
    }
    // A walk's root: the package lists are looked at once per walk, and the
    // folders above tell whether this one lies below a shared folder.
    PackageFiles::refresh();
    const QByteArray real = posix::folderPathOf(fd.get(), host);
    shared_ = posix::liesInSharedFolder(real);
    return readOpened(std::move(fd), real, id.mount, id.device);
}

bool FolderListing::readChild(const FolderListing& parent, const Entry& entry)
{
    clear();
    shared_ = parent.shared_;
    const QByteArray host = parent.hostPathOf(entry);
    if (refused(host))
        return false;
    if (!parent.fd_.valid()) {
        error_ = EBADF;
        return false;
    }
    // Where the mount is known, one call opens the folder and proves it on
    // the same mount; otherwise (or where a sandbox forbids that call) the
    // folder is opened and then looked at.
    if (parent.mountId_ != 0) {
        posix::UniqueFd fd(posix::openFolderOnSameMount(parent.fd_.get(), parent.hostNameZ(entry)));
        if (fd.valid())
            return readOpened(std::move(fd), host, parent.mountId_, parent.deviceId_);
        if (errno != ENOSYS && errno != EPERM) {
            error_ = errno;
            return false;
        }
    }
    posix::UniqueFd fd(::openat(parent.fd_.get(), parent.hostNameZ(entry), kOpenFlags));
    if (!fd.valid()) {
        error_ = errno;
        return false;
    }
    Identity id;
    const bool sameMount = identify(fd.get(), id)
        && (id.mount && parent.mountId_ ? id.mount == parent.mountId_ : id.device == parent.deviceId_);
    if (!sameMount) {
        error_ = EXDEV;
        return false;
    }
    return readOpened(std::move(fd), host, id.mount, id.device);
}

bool FolderListing::readOpened(posix::UniqueFd folder, const QByteArray& hostFolder, quint64 mountId, quint64 deviceId)
{
    const int fd = folder.get();
    // Only a folder others may write into can hold their entries (or one
    // that is not the user's own): elsewhere in a shared tree the owners
    // need no look, so a user's own tree in /tmp costs no call per entry.
    struct statx self {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MODE | STATX_UID | STATX_INO, &self) == 0) {
        folderInode_ = (self.stx_mask & STATX_INO) ? self.stx_ino : 0;
        shared_ = shared_ || posix::isSharedFolder(self.stx_mode);
        checkOwners_ = shared_ && (self.stx_uid != posix::currentUser() || (self.stx_mode & (S_IWGRP | S_IWOTH)));
    } else {
        checkOwners_ = shared_;
    }
    excludedNames_ = TmpfilesExclusions::namePatternsIn(hostFolder);
    folder_ = hostFolder;
    mountId_ = mountId;
    deviceId_ = deviceId;
    alignas(8) char buf[32 * 1024];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        makeRoom(qsizetype(n), entries_, host_, text_);
        for (ssize_t off = 0; off < n;) {
            const auto* de = reinterpret_cast<const dirent64*>(buf + off);
            off += de->d_reclen;
            if (!isDot(de->d_name))
                append(fd, de->d_name, de->d_type, de->d_ino);
        }
    }
    if (withheld_)
        qCDebug(lcWalk, "%s: entries of other users or of tmpfiles rules left out", folder_.constData());
    fitNames(hostEnd(entries_), host_);
    fitNames(textEnd(entries_), text_);
    fd_ = std::move(folder);
    sortByName(entries_, text_);
    return true;
}

// Writes into the room makeRoom() made for the getdents records the name
// came in; makes more should a record ever be shorter than its name.
void FolderListing::append(int fd, const char* hostName, unsigned char type, quint64 inode)
{
    if ((checkOwners_ || !excludedNames_.isEmpty()) && withholds(fd, hostName)) {
        withheld_ = true;
        return;
    }
    const qsizetype length = qsizetype(std::strlen(hostName));
    if (hostEnd(entries_) + length + 1 > host_.size() || textEnd(entries_) + length > text_.size())
        makeRoom(length + 1, entries_, host_, text_);
    Entry e;
    e.inode = inode;
    e.hostOffset = quint32(hostEnd(entries_));
    e.hostLength = quint32(length);
    std::memcpy(host_.data() + e.hostOffset, hostName,
                size_t(length) + 1); // with its NUL, for calls relative to the folder
    e.nameOffset = quint32(textEnd(entries_));
    char16_t* const name = reinterpret_cast<char16_t*>(text_.data()) + e.nameOffset;
    e.nameLength = quint32(formats::HostNameCodec::decodeTo(hostName, length, name));
    for (qsizetype i = 0; i < kSortKeyUnits; ++i)
        e.sortKey = (e.sortKey << 16) | (i < qsizetype(e.nameLength) ? formats::NameOrder::fold(QChar(name[i])) : 0u);
    struct stat st;
    e.isDirectory = type == DT_DIR
        || (type == DT_UNKNOWN && ::fstatat(fd, hostName, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode));
    entries_.push_back(e);
}

// Whether the entry is not the user's: another user's below a shared
// folder (or one that vanished before it could be looked at), or excluded
// by the system's tmpfiles rules.
bool FolderListing::withholds(int fd, const char* hostName) const
{
    for (const QByteArray& pattern : excludedNames_)
        if (::fnmatch(pattern.constData(), hostName, 0) == 0)
            return true;
    if (!checkOwners_)
        return false;
    struct statx st {};
    return ::statx(fd, hostName, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_UID, &st) != 0
        || st.stx_uid != posix::currentUser();
}

bool FolderListing::isPackaged(const Entry& e) const
{
    return PackageFiles::contains(hostPathOf(e));
}

bool FolderListing::folderIsPackaged() const
{
    return !folder_.isEmpty() && PackageFiles::contains(folder_);
}

quint32 FolderListing::attributesOf(const Entry& e) const
{
    EntryId id;
    return attributesOf(e, id);
}

quint32 FolderListing::attributesOf(const Entry& e, EntryId& id) const
{
    noteLook(e);
    struct statx st {};
    if (!fd_.valid() || !posix::statEntryAt(fd_.get(), hostNameZ(e), st)) {
        id = {};
        return 0;
    }
    id = posix::entryIdOf(st);
    return posix::entryAttributesAt(fd_.get(), hostNameZ(e), st, name(e).startsWith(u'.'), mountId_,
                                    deviceId_);
}

FolderListing::Found FolderListing::statOf(const Entry& e) const
{
    noteLook(e);
    if (aheadSlots_)
        if (const Found* taken = aheadSlots_[&e - entries_.data()].take())
            return *taken;
    return fd_.valid() ? foundAt(fd_.get(), hostNameZ(e)) : Found{};
}

FolderListing::Found FolderListing::foundAt(int folder, const char* hostName)
{
    struct statx st {};
    if (!posix::statEntryAt(folder, hostName, st))
        return {};
    const bool sized = S_ISREG(st.stx_mode) || S_ISLNK(st.stx_mode);
    const bool linked = !S_ISDIR(st.stx_mode) && (!(st.stx_mask & STATX_NLINK) || st.stx_nlink > 1);
    return {posix::entryIdOf(st), sized ? quint64(st.stx_size) : 0, false, linked};
}

FolderListing::Details FolderListing::detailsOf(const Entry& e) const
{
    noteLook(e);
    struct statx st {};
    constexpr unsigned kMask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BTIME | STATX_ATIME
        | STATX_MTIME | STATX_CTIME | STATX_MNT_ID;
    if (!fd_.valid() || ::statx(fd_.get(), hostNameZ(e), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kMask, &st) != 0)
        return {};
    Details d;
    d.valid = true;
    d.id = posix::entryIdOf(st);
    const bool sized = S_ISREG(st.stx_mode) || S_ISLNK(st.stx_mode);
    d.size = sized ? quint64(st.stx_size) : 0;
    d.attributes = posix::entryAttributesAt(fd_.get(), hostNameZ(e), st, name(e).startsWith(u'.'), mountId_,
                                            deviceId_);
    const bool hasBirth = (st.stx_mask & STATX_BTIME) != 0;
    d.times = {timeOf(hasBirth ? st.stx_btime : st.stx_ctime), timeOf(st.stx_atime), timeOf(st.stx_mtime)};
    return d;
}

quint64 FolderListing::sizeOf(const Entry& e) const
{
    noteLook(e);
    struct stat st;
    return fd_.valid() && ::fstatat(fd_.get(), hostNameZ(e), &st, AT_SYMLINK_NOFOLLOW) == 0 ? quint64(st.st_size) : 0;
}

bool FolderListing::isSpecialFile(const Entry& e) const
{
    struct stat st;
    if (!fd_.valid() || ::fstatat(fd_.get(), hostNameZ(e), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISFIFO(st.st_mode);
}

bool FolderListing::isMountPoint(const Entry& e) const
{
    return e.isDirectory && (!fd_.valid() || posix::isOtherMountAt(fd_.get(), hostNameZ(e), mountId_, deviceId_));
}

void FolderListing::closeFolder()
{
    struct stat st;
    if (fd_.valid() && ::fstat(fd_.get(), &st) == 0) {
        inode_ = st.st_ino;
        inodeDevice_ = st.st_dev;
    }
    releaseFolder();
}

namespace {

// The folder rel (names joined by "/") below the open folder base, one name
// at a time without following a link, each on base's mount. Invalid on
// failure.
posix::UniqueFd openStepByStep(int base, const QByteArray& rel, quint64 mountId, quint64 deviceId)
{
    posix::UniqueFd fd(::openat(base, ".", kOpenFlags));
    for (const QByteArray& name : rel.split('/')) {
        if (!fd.valid())
            break;
        if (name.isEmpty())
            continue;
        fd = posix::UniqueFd(::openat(fd.get(), name.constData(), kOpenFlags));
        Identity id;
        if (fd.valid()
            && !(identify(fd.get(), id) && (id.mount && mountId ? id.mount == mountId : id.device == deviceId)))
            return {};
    }
    return fd;
}

} // namespace

bool FolderListing::reopenBelow(const FolderListing& root)
{
    if (fd_.valid())
        return true;
    const QByteArray& base = root.folder_;
    const bool below = base == "/" ? folder_.startsWith('/') : folder_.startsWith(base + '/') || folder_ == base;
    if (!root.fd_.valid() || inode_ == 0 || !below)
        return false;
    const QByteArray rel = folder_.mid(base == "/" ? 1 : base.size() + 1);
    // One call where the kernel has it: no link, no mount point, nothing
    // above root on the way.
    posix::UniqueFd fd(
        rel.isEmpty() || root.mountId_ == 0 ? -1 : posix::openFolderOnSameMount(root.fd_.get(), rel.constData()));
    if (!fd.valid() && (rel.isEmpty() || root.mountId_ == 0 || errno == ENOSYS || errno == EPERM))
        fd = openStepByStep(root.fd_.get(), rel, root.mountId_, root.deviceId_);
    struct stat st;
    if (fd.valid() && (::fstat(fd.get(), &st) != 0 || st.st_ino != inode_ || st.st_dev != inodeDevice_))
        return false;
    fd_ = std::move(fd);
    return fd_.valid();
}

void FolderListing::clear()
{
    releaseFolder();
    inode_ = 0;
    inodeDevice_ = 0;
    error_ = 0;
    shared_ = false;
    checkOwners_ = false;
    withheld_ = false;
    folderInode_ = 0;
    excludedNames_.clear();
    aheadSlots_ = nullptr;
    entries_.clear();
    text_.clear();
    host_.clear();
}

bool FolderListing::isDriveRoot() const
{
    return PathMapper::isDriveRoot(PathMapper::toWindows(folder_));
}

QByteArray FolderListing::hostPathOf(const Entry& entry) const
{
    // Written in place: the walker asks once for every folder it enters.
    const bool slash = !folder_.endsWith('/');
    QByteArray path(folder_.size() + qsizetype(slash) + qsizetype(entry.hostLength), Qt::Uninitialized);
    char* out = path.data();
    std::memcpy(out, folder_.constData(), size_t(folder_.size()));
    out += folder_.size();
    if (slash)
        *out++ = '/';
    std::memcpy(out, hostNameZ(entry), entry.hostLength);
    return path;
}

} // namespace platform
