#include "posix/Trash.h"

#include "platform/KnownFolders.h"
#include "platform/TestSeams.h"
#include "posix/FileTree.h"
#include "posix/MountTable.h"

#include <QDateTime>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

bool alwaysCopy = false;
QByteArray forcedTopDir;

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

// Hidden names in the trash while a copy is under way; no trash reader
// lists them. partialCopy(n) in files/ becomes the entry n, kPendingInfo*
// in info/ becomes a record.
QByteArray partialCopy(const QByteArray& name)
{
    return ".varnel-copy." + name;
}
constexpr char kPendingInfo[] = ".varnel-record.";

bool writeAll(int fd, const QByteArray& data)
{
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The record's text written and (with durable) synced under a hidden name
// of its own; the caller links it to record names. Empty on failure.
QByteArray pendingRecord(int infoFd, const QByteArray& text, bool durable)
{
    for (int n = 0; n < 1000; ++n) {
        const QByteArray name = kPendingInfo + QByteArray::number(::getpid()) + "." + QByteArray::number(n);
        const UniqueFd fd(::openat(infoFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid() && errno == EEXIST)
            continue;
        if (fd.valid() && writeAll(fd.get(), text) && (!durable || ::fsync(fd.get()) == 0))
            return name;
        ::unlinkat(infoFd, name.constData(), 0);
        return {};
    }
    return {};
}

// The original path a record names; empty when it names none.
QByteArray recordedPath(int infoFd, const QByteArray& infoName)
{
    const UniqueFd fd(::openat(infoFd, infoName.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    char buf[8192];
    const ssize_t n = fd.valid() ? ::read(fd.get(), buf, sizeof buf) : -1;
    if (n <= 0)
        return {};
    for (const QByteArray& line : QByteArray(buf, n).split('\n'))
        if (line.startsWith("Path="))
            return QByteArray::fromPercentEncoding(line.mid(5));
    return {};
}

bool originalExists(const QByteArray& path)
{
    struct stat st;
    return path.startsWith('/') && ::lstat(path.constData(), &st) == 0;
}

// The names in the folder fd (a duplicate is read, fd stays where it is).
QByteArrayList namesIn(int fd)
{
    QByteArrayList names;
    DIR* dir = ::fdopendir(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return names;
    while (const dirent* d = ::readdir(dir))
        if (qstrcmp(d->d_name, ".") != 0 && qstrcmp(d->d_name, "..") != 0)
            names.append(d->d_name);
    ::closedir(dir);
    return names;
}

// Removes what a copy killed half-way left in the trash: a record whose
// copy is missing or still partial while its original is still in place (so
// the original was never touched), a partial copy with no record, records
// never linked, and empty records naming nothing. Runs while no move of
// this program is under way in this trash (each holds a shared lock on
// info/; this takes it exclusively or does nothing and returns false).
bool sweepInterruptedCopies(const TrashFolders& t)
{
    const UniqueFd lock(::openat(t.info.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock.valid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    const QByteArrayList infos = namesIn(t.info.get());
    for (const QByteArray& info : infos) {
        if (info.startsWith(kPendingInfo)) {
            ::unlinkat(t.info.get(), info.constData(), 0);
            continue;
        }
        if (!info.endsWith(".trashinfo"))
            continue;
        const QByteArray name = info.chopped(10);
        struct stat st;
        if (::fstatat(t.files.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        const QByteArray original = recordedPath(t.info.get(), info);
        if (original.isEmpty() && ::fstatat(t.info.get(), info.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode) && st.st_size == 0) {
            ::unlinkat(t.info.get(), info.constData(), 0); // an empty record, of an older version, names nothing
            continue;
        }
        if (!originalExists(original))
            continue; // the record may be all that is left of it
        if (::fstatat(t.files.get(), partialCopy(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && !removeTree(t.files.get(), partialCopy(name)))
            continue;
        ::unlinkat(t.info.get(), info.constData(), 0);
    }
    for (const QByteArray& file : namesIn(t.files.get())) {
        if (!file.startsWith(partialCopy({})))
            continue;
        struct stat st;
        const QByteArray name = file.mid(partialCopy({}).size());
        // A trashed entry of that very name has a record of its own.
        if (::fstatat(t.info.get(), (file + ".trashinfo").constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
            || ::fstatat(t.info.get(), (name + ".trashinfo").constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        removeTree(t.files.get(), file);
    }
    return true;
}

// True when the trash whose info/ folder is infoFd was swept already by this
// process; marks it swept.
QList<QPair<dev_t, ino_t>> swept;

bool sweptAlready(int trashFd)
{
    struct stat st;
    if (::fstat(trashFd, &st) != 0)
        return true;
    if (swept.contains({st.st_dev, st.st_ino}))
        return true;
    swept.append({st.st_dev, st.st_ino});
    return false;
}

// Claims a name in the trash by linking a whole, written record to it
// (link() fails when the name is taken, so two trashings never pick the same
// one, and no record is ever seen empty); then lets place() put the entry
// there. On failure the claim is given back. The first move into a trash
// in a process first sweeps what interrupted copies left in it.
template <typename Place>
bool putInto(const TrashFolders& t, const QByteArray& wanted, const QByteArray& infoPath, bool durable, Place place)
{
    if (!sweptAlready(t.info.get()) && !sweepInterruptedCopies(t))
        swept.removeLast(); // another move is under way: the next one sweeps
    // Held until the entry is in place: no sweep of another process takes
    // this move for an interrupted one.
    const UniqueFd lock(::openat(t.info.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock.valid() || ::flock(lock.get(), LOCK_SH) != 0)
        return false;
    const QByteArray pending = pendingRecord(t.info.get(), trashInfo(infoPath), durable);
    if (pending.isEmpty())
        return false;
    bool placed = false;
    for (int n = 1; n < 100000; ++n) {
        const QByteArray name = numbered(wanted, n);
        struct stat st;
        if (::fstatat(t.files.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
            || ::fstatat(t.files.get(), partialCopy(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        const QByteArray infoName = name + ".trashinfo";
        if (::linkat(t.info.get(), pending.constData(), t.info.get(), infoName.constData(), 0) != 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        placed = place(name);
        if (!placed) {
            const int why = errno; // the caller may want to know why it failed
            ::unlinkat(t.info.get(), infoName.constData(), 0);
            errno = why;
        }
        break;
    }
    const int why = errno;
    ::unlinkat(t.info.get(), pending.constData(), 0);
    errno = why;
    return placed;
}

bool renameInto(const AnchoredEntry& e, int trashFd, const QByteArray& infoPath)
{
    const std::optional<TrashFolders> t = openTrash(trashFd);
    return t && putInto(*t, e.name, infoPath, false, [&](const QByteArray& name) {
               return ::renameat2(e.parent.get(), e.name.constData(), t->files.get(), name.constData(),
                                  RENAME_NOREPLACE)
                   == 0;
           });
}

// Copies the entry into the trash the freedesktop.org way, made to survive
// a kill or a power cut at any moment: the record first (written whole),
// then the copy under a hidden name, synced, renamed to the record's name;
// both folders synced; only then is the original removed.
bool copyInto(const AnchoredEntry& e, int trashFd)
{
    // Copying what cannot be removed afterwards would only fill the trash.
    if (::faccessat(e.parent.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    const std::optional<TrashFolders> t = openTrash(trashFd);
    if (!t)
        return false;
    if (!sweptAlready(trashFd))
        sweepInterruptedCopies(*t);
    const UniqueFd lock(::openat(t->info.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock.valid() || ::flock(lock.get(), LOCK_SH) != 0)
        return false;
    const bool copied = putInto(*t, e.name, e.hostPath, true, [&](const QByteArray& name) {
        const QByteArray partial = partialCopy(name);
        if (!copyTree(e.parent.get(), e.name, t->files.get(), partial))
            return false;
        if (::syncfs(t->files.get()) == 0
            && ::renameat2(t->files.get(), partial.constData(), t->files.get(), name.constData(), RENAME_NOREPLACE) == 0
            && ::fsync(t->files.get()) == 0 && ::fsync(t->info.get()) == 0)
            return true;
        const int why = errno;
        if (!removeTree(t->files.get(), partial))
            removeTree(t->files.get(), name);
        errno = why;
        return false;
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

// The top folder of the mount; invalid when it cannot be reached.
UniqueFd mountTop(const MountEntry& mount)
{
    struct statx top {};
    UniqueFd topFd(mount.mountPoint.startsWith('/')
                       ? ::open(mount.mountPoint.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : -1);
    if (!topFd.valid() || ::statx(topFd.get(), "", AT_EMPTY_PATH, STATX_MNT_ID, &top) != 0
        || top.stx_mnt_id != mount.id)
        return {};
    return topFd;
}

// The folder name inside parent, made (0700) when missing, when it is a
// folder of the user's own and no link; invalid otherwise.
UniqueFd ownFolderAt(int parent, const QByteArray& name)
{
    UniqueFd fd = makeFolderAt(parent, name);
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || st.st_uid != ::getuid())
        return {};
    return fd;
}

// The user's trash at the top folder topFd, as the freedesktop.org trash
// asks: $topdir/.Trash/$uid when an administrator made .Trash (sticky, no
// link) and $uid in it is the user's own; else $topdir/.Trash-$uid when it
// is the user's own and no link. Made when missing; invalid when neither
// may be used (a name someone else put there in the user's place).
UniqueFd topTrash(int topFd)
{
    const QByteArray uid = QByteArray::number(::getuid());
    struct stat shared;
    if (::fstatat(topFd, ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(shared.st_mode)
        && (shared.st_mode & S_ISVTX)) {
        if (const UniqueFd sharedFd = openFolderAt(topFd, ".Trash"); sharedFd.valid())
            if (UniqueFd mine = ownFolderAt(sharedFd.get(), uid); mine.valid())
                return mine;
    }
    return ownFolderAt(topFd, ".Trash-" + uid);
}

QByteArray relativeTo(const QByteArray& path, const QByteArray& topdir)
{
    if (topdir == "/" || !path.startsWith(topdir + '/'))
        return path;
    return path.mid(topdir.size() + 1);
}

// Renames the entry into the trash at the top of its file system (topFd,
// path topdir); where that has no trash the user may use, copies it into
// the home trash as for a file system without one.
bool intoTopTrash(const AnchoredEntry& entry, int home, const UniqueFd& topFd, const QByteArray& topdir)
{
    const UniqueFd top = topFd.valid() ? topTrash(topFd.get()) : UniqueFd();
    if (!top.valid())
        return copyInto(entry, home);
    return renameInto(entry, top.get(), relativeTo(entry.hostPath, topdir));
}

} // namespace

QByteArray Trash::homeFolder()
{
    return KnownFolders::dataHome() + "/Trash";
}

} // namespace platform::posix

void platform::testseams::setTrashAlwaysCopies(bool on)
{
    posix::alwaysCopy = on;
}

void platform::testseams::forgetTrashSweeps()
{
    posix::swept.clear();
}

void platform::testseams::setTrashTopDir(const QByteArray& topdir)
{
    posix::forcedTopDir = topdir;
}

namespace platform::posix {

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
    if (!forcedTopDir.isEmpty())
        return intoTopTrash(entry, home.get(),
                            UniqueFd(::open(forcedTopDir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                            forcedTopDir);
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
    return intoTopTrash(entry, home.get(), mountTop(*mount), mount->mountPoint);
}

} // namespace platform::posix
