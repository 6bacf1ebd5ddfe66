#include "posix/Trash.h"

#include "platform/KnownFolders.h"
#include "posix/FileTree.h"
#include "posix/MountTable.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

bool alwaysCopy = false;

// Creates (0700) and opens the folder name inside parent, never through a link.
UniqueFd makeFolderAt(int parent, const QByteArray& name)
{
    if (::mkdirat(parent, name.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return openFolderAt(parent, name);
}

// Opens the folder at an absolute path, creating missing folders (0700).
UniqueFd makeFolders(const QByteArray& path)
{
    UniqueFd fd(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || !fd.valid())
            continue;
        // Folders above the trash may be links the user set up (a home
        // elsewhere); they are followed, the trash's own folders are not.
        if (::mkdirat(fd.get(), part.constData(), 0700) != 0 && errno != EEXIST)
            return {};
        fd = UniqueFd(::openat(fd.get(), part.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    return fd;
}

// "name.N.ext" for the n-th entry of one name, as file managers number them.
QByteArray numbered(const QByteArray& name, int n)
{
    if (n == 1)
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray suffix = "." + QByteArray::number(n);
    if (dot <= 0)
        return name + suffix;
    return name.left(dot) + suffix + name.mid(dot);
}

// The record of a trashed entry. Its path is URL-escaped as freedesktop.org
// trash readers expect: every byte but the unreserved characters and "/".
QByteArray trashInfo(const QByteArray& original)
{
    return "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + "\n";
}

// A trash folder's files/ and info/.
struct TrashFolders {
    UniqueFd files;
    UniqueFd info;
};

std::optional<TrashFolders> openTrash(int trashFd)
{
    TrashFolders t{makeFolderAt(trashFd, "files"), makeFolderAt(trashFd, "info")};
    if (!t.files.valid() || !t.info.valid())
        return std::nullopt;
    return t;
}

// Claims a name in the trash by creating its .trashinfo exclusively, so two
// trashings never pick the same one; then lets place() put the entry there.
// On failure the claim is given back.
template <typename Place>
bool putInto(const TrashFolders& t, const QByteArray& wanted, const QByteArray& infoPath, Place place)
{
    const QByteArray info = trashInfo(infoPath);
    for (int n = 1; n < 100000; ++n) {
        const QByteArray name = numbered(wanted, n);
        struct stat st;
        if (::fstatat(t.files.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        const QByteArray infoName = name + ".trashinfo";
        const UniqueFd fd(::openat(t.info.get(), infoName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = ::write(fd.get(), info.constData(), size_t(info.size())) == info.size();
        if (written && place(name))
            return true;
        const int why = errno; // the caller may want to know why it failed
        ::unlinkat(t.info.get(), infoName.constData(), 0);
        errno = why;
        return false;
    }
    return false;
}

bool renameInto(const AnchoredEntry& e, int trashFd, const QByteArray& infoPath)
{
    const std::optional<TrashFolders> t = openTrash(trashFd);
    return t && putInto(*t, e.name, infoPath, [&](const QByteArray& name) {
               return ::renameat2(e.parent.get(), e.name.constData(), t->files.get(), name.constData(),
                                  RENAME_NOREPLACE)
                   == 0;
           });
}

bool copyInto(const AnchoredEntry& e, int trashFd)
{
    // Copying what cannot be removed afterwards would only fill the trash.
    if (::faccessat(e.parent.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    const std::optional<TrashFolders> t = openTrash(trashFd);
    const bool copied = t && putInto(*t, e.name, e.hostPath, [&](const QByteArray& name) {
                            return copyTree(e.parent.get(), e.name, t->files.get(), name);
                        });
    // Should the removal fail half-way, the copy stays: it is then the only
    // copy of what was removed.
    return copied && removeTree(e.parent.get(), e.name);
}

// The mount that holds the open folder fd; nullopt when the kernel does not
// tell (before Linux 5.8) or the mount table lacks it.
std::optional<MountEntry> mountOf(int fd)
{
    struct statx st {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &st) != 0 || !(st.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    return MountTable::byId(st.stx_mnt_id);
}

// The trash folder at the top of the mount, made when missing; invalid when
// the mount's top cannot be reached or holds no trash of the user's.
UniqueFd topTrash(const MountEntry& mount)
{
    struct statx top {};
    const UniqueFd topFd(mount.mountPoint.startsWith('/')
                             ? ::open(mount.mountPoint.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                             : -1);
    if (!topFd.valid() || ::statx(topFd.get(), "", AT_EMPTY_PATH, STATX_MNT_ID, &top) != 0
        || top.stx_mnt_id != mount.id)
        return {};
    const QByteArray uid = QByteArray::number(::getuid());
    struct stat shared;
    if (::fstatat(topFd.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(shared.st_mode)
        && (shared.st_mode & S_ISVTX)) {
        const UniqueFd sharedFd = openFolderAt(topFd.get(), ".Trash");
        if (sharedFd.valid())
            if (UniqueFd mine = makeFolderAt(sharedFd.get(), uid); mine.valid())
                return mine;
    }
    UniqueFd own = makeFolderAt(topFd.get(), ".Trash-" + uid);
    struct stat ownSt;
    if (!own.valid() || ::fstat(own.get(), &ownSt) != 0 || ownSt.st_uid != ::getuid())
        return {};
    return own;
}

QByteArray relativeTo(const QByteArray& path, const QByteArray& topdir)
{
    if (topdir == "/" || !path.startsWith(topdir + '/'))
        return path;
    return path.mid(topdir.size() + 1);
}

} // namespace

QByteArray Trash::homeFolder()
{
    return KnownFolders::dataHome() + "/Trash";
}

void Trash::setAlwaysCopyForTests(bool on)
{
    alwaysCopy = on;
}

bool Trash::moveIn(const AnchoredEntry& entry)
{
    const UniqueFd home = makeFolders(homeFolder());
    if (!home.valid())
        return false;
    struct stat homeSt, parentSt;
    if (::fstat(home.get(), &homeSt) != 0 || ::fstat(entry.parent.get(), &parentSt) != 0)
        return false;
    if (alwaysCopy)
        return copyInto(entry, home.get());
    if (homeSt.st_dev == parentSt.st_dev) {
        if (renameInto(entry, home.get(), entry.hostPath))
            return true;
        // One device number can still span two file systems' worth of
        // renames (btrfs subvolumes): then the entry is copied instead.
        return errno == EXDEV && copyInto(entry, home.get());
    }
    const std::optional<MountEntry> mount = mountOf(entry.parent.get());
    if (!mount)
        return false;
    if (!MountTable::isDiskFileSystem(mount->fsType))
        return copyInto(entry, home.get());
    const UniqueFd top = topTrash(*mount);
    return top.valid() && renameInto(entry, top.get(), relativeTo(entry.hostPath, mount->mountPoint));
}

} // namespace platform::posix
