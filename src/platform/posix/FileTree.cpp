#include "posix/FileTree.h"

#include <QList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool isSpecial(mode_t mode)
{
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode);
}

QList<QByteArray> namesIn(int fd)
{
    QList<QByteArray> names;
    const int dupFd = ::dup(fd);
    DIR* dir = dupFd >= 0 ? ::fdopendir(dupFd) : nullptr;
    if (!dir) {
        if (dupFd >= 0)
            ::close(dupFd);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (!(n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))))
            names.append(QByteArray(n));
    }
    ::closedir(dir);
    return names;
}

bool sameMount(const struct statx& a, const struct statx& b)
{
    if ((a.stx_mask & STATX_MNT_ID) && (b.stx_mask & STATX_MNT_ID))
        return a.stx_mnt_id == b.stx_mnt_id;
    return a.stx_dev_major == b.stx_dev_major && a.stx_dev_minor == b.stx_dev_minor;
}

TreeCheck checkFolder(int fd, const struct statx& self)
{
    for (const QByteArray& name : namesIn(fd)) {
        struct statx st {};
        if (::statx(fd, name.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &st) != 0)
            continue;
        if (isSpecial(st.stx_mode))
            return TreeCheck::HasSpecialEntry;
        if (!S_ISDIR(st.stx_mode))
            continue;
        if (!sameMount(st, self))
            return TreeCheck::HasMountPoint;
        const int sub = ::openat(fd, name.constData(), kFolderFlags);
        if (sub < 0)
            continue; // unreadable: its removal fails on its own
        const TreeCheck inner = checkFolder(sub, st);
        ::close(sub);
        if (inner != TreeCheck::Deletable)
            return inner;
    }
    return TreeCheck::Deletable;
}

bool removeAt(int parentFd, const QByteArray& name)
{
    struct stat st;
    if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(parentFd, name.constData(), 0) == 0;
    const int fd = ::openat(parentFd, name.constData(), kFolderFlags);
    if (fd < 0)
        return false;
    bool ok = true;
    for (const QByteArray& child : namesIn(fd))
        ok = removeAt(fd, child) && ok;
    ::close(fd);
    return ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0 && ok;
}

struct Split {
    QByteArray folder;
    QByteArray name;
};

Split splitPath(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return {slash <= 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

bool copyFileAt(int srcFd, const QByteArray& srcName, int dstFd, const QByteArray& dstName, const struct stat& st)
{
    const int in = ::openat(srcFd, srcName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::openat(dstFd, dstName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    bool ok = out >= 0;
    char buf[64 * 1024];
    while (ok) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = ::write(out, buf, size_t(n)) == n;
    }
    if (out >= 0) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
        ok = ::close(out) == 0 && ok;
    }
    ::close(in);
    return ok;
}

bool copyAt(int srcFd, const QByteArray& srcName, int dstFd, const QByteArray& dstName);

bool copyFolderContents(int from, int to)
{
    for (const QByteArray& child : namesIn(from))
        if (!copyAt(from, child, to, child))
            return false;
    return true;
}

bool copyAt(int srcFd, const QByteArray& srcName, int dstFd, const QByteArray& dstName)
{
    struct stat st;
    if (::fstatat(srcFd, srcName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlinkat(srcFd, srcName.constData(), target, sizeof target - 1);
        if (n < 0)
            return false;
        target[n] = 0;
        return ::symlinkat(target, dstFd, dstName.constData()) == 0;
    }
    if (S_ISREG(st.st_mode))
        return copyFileAt(srcFd, srcName, dstFd, dstName, st);
    if (!S_ISDIR(st.st_mode) || ::mkdirat(dstFd, dstName.constData(), 0700) != 0)
        return false;
    const int from = ::openat(srcFd, srcName.constData(), kFolderFlags);
    const int to = ::openat(dstFd, dstName.constData(), kFolderFlags);
    const bool ok = from >= 0 && to >= 0 && copyFolderContents(from, to);
    if (to >= 0)
        ::fchmod(to, st.st_mode & 07777);
    if (from >= 0)
        ::close(from);
    if (to >= 0)
        ::close(to);
    return ok;
}

} // namespace

TreeCheck checkTree(const QByteArray& path)
{
    struct statx st {};
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &st) != 0)
        return TreeCheck::Deletable; // gone: the delete itself reports it
    if (isSpecial(st.stx_mode))
        return TreeCheck::HasSpecialEntry;
    if (!S_ISDIR(st.stx_mode))
        return TreeCheck::Deletable;
    const int fd = ::open(path.constData(), kFolderFlags);
    if (fd < 0)
        return TreeCheck::Deletable;
    const TreeCheck result = checkFolder(fd, st);
    ::close(fd);
    return result;
}

bool isMountRoot(const QByteArray& path)
{
    if (path == "/")
        return true;
    struct statx self {}, parent {};
    const Split s = splitPath(path);
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &self) != 0)
        return false;
    if (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return self.stx_attributes & STATX_ATTR_MOUNT_ROOT;
    if (::statx(AT_FDCWD, s.folder.constData(), AT_NO_AUTOMOUNT, STATX_MNT_ID, &parent) != 0)
        return true; // cannot tell: treat it as one, so nothing deletes it
    return S_ISDIR(self.stx_mode) && !sameMount(self, parent);
}

bool removeTree(const QByteArray& path)
{
    const Split s = splitPath(path);
    const int parent = ::open(s.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return false;
    const bool ok = removeAt(parent, s.name);
    ::close(parent);
    return ok;
}

bool copyTree(const QByteArray& source, const QByteArray& target)
{
    const Split from = splitPath(source), to = splitPath(target);
    const int srcFd = ::open(from.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int dstFd = ::open(to.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool ok = srcFd >= 0 && dstFd >= 0;
    ok = ok && copyAt(srcFd, from.name, dstFd, to.name);
    if (srcFd >= 0)
        ::close(srcFd);
    if (dstFd >= 0)
        ::close(dstFd);
    if (!ok)
        removeTree(target);
    return ok;
}

} // namespace platform::posix
