#include "posix/EntryAttributes.h"

#include "platform/FileAttributes.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

namespace platform::posix {

namespace {

// user.DOSATTRIB holds text such as "0x22" (Samba, Wine).
std::optional<quint32> dosAttributes(const char* hostPath)
{
    char buf[64];
    const ssize_t n = ::lgetxattr(hostPath, "user.DOSATTRIB", buf, sizeof buf - 1);
    if (n < 3)
        return std::nullopt;
    buf[n] = 0;
    if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X'))
        return std::nullopt;
    char* end = nullptr;
    const unsigned long v = std::strtoul(buf + 2, &end, 16);
    if (end == buf + 2)
        return std::nullopt;
    return quint32(v);
}

quint32 modeAttributes(unsigned mode, bool dotName)
{
    quint32 attr = 0;
    if (S_ISDIR(mode))
        attr |= faDirectory;
    if (dotName)
        attr |= faHidden;
    if ((mode & 0222) == 0)
        attr |= faReadOnly;
    if (S_ISREG(mode))
        attr |= faArchive;
    if (S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode))
        attr |= faSysFile;
    return attr;
}

quint32 withDosBits(quint32 attr, std::optional<quint32> dos)
{
    constexpr quint32 dosBits = faReadOnly | faHidden | faSysFile | faArchive;
    return dos ? (attr & ~dosBits) | (*dos & dosBits) : attr;
}

bool otherMount(const struct statx& st, quint64 parentMount, quint64 parentDevice)
{
    if (parentMount && (st.stx_mask & STATX_MNT_ID))
        return st.stx_mnt_id != parentMount; // also catches bind mounts
    return makedev(st.stx_dev_major, st.stx_dev_minor) != parentDevice;
}

} // namespace

bool isOtherMount(const QByteArray& hostPath, quint64 parentMount, quint64 parentDevice)
{
    return isOtherMountAt(AT_FDCWD, hostPath.constData(), parentMount, parentDevice);
}

bool isOtherMountAt(int dirFd, const char* name, quint64 parentMount, quint64 parentDevice)
{
    struct statx st {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_MNT_ID, &st) != 0)
        return true;
    return otherMount(st, parentMount, parentDevice);
}

quint32 entryAttributes(const QByteArray& hostPath, bool dotName, quint64 parentMount, quint64 parentDevice)
{
    struct stat st;
    if (::lstat(hostPath.constData(), &st) != 0)
        return 0;
    quint32 attr = entryAttributesOfMode(hostPath, st.st_mode, dotName);
    if (S_ISDIR(st.st_mode) && isOtherMount(hostPath, parentMount, parentDevice))
        attr |= faMountPoint;
    return attr;
}

quint32 entryAttributesAt(int dirFd, const char* name, const struct statx& st, bool dotName, quint64 parentMount,
                          quint64 parentDevice)
{
    const unsigned mode = st.stx_mode;
    quint32 attr = modeAttributes(mode, dotName);
    if (!S_ISLNK(mode)) {
        // No call reads an attribute relative to a folder handle; the
        // handle's own entry in /proc keeps the path short all the same.
        char path[64 + 256];
        std::snprintf(path, sizeof path, "/proc/self/fd/%d/%s", dirFd, name);
        attr = withDosBits(attr, dosAttributes(path));
    }
    if (S_ISDIR(mode)) {
        const bool other = (st.stx_mask & STATX_MNT_ID) ? otherMount(st, parentMount, parentDevice)
                                                        : isOtherMountAt(dirFd, name, parentMount, parentDevice);
        if (other)
            attr |= faMountPoint;
    }
    return attr;
}

quint32 entryAttributesOfMode(const QByteArray& hostPath, unsigned mode, bool dotName)
{
    const quint32 attr = modeAttributes(mode, dotName);
    return S_ISLNK(mode) ? attr : withDosBits(attr, dosAttributes(hostPath.constData()));
}

} // namespace platform::posix
