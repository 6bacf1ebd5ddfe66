#include "platform/FolderListing.h"

#include "platform/HostNameCodec.h"
#include "platform/NameOrder.h"
#include "platform/PathMapper.h"

#include <algorithm>
#include <cstring>

#include <dirent.h>
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

bool isDirectoryAt(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

FolderListing::FolderListing() = default;
FolderListing::~FolderListing() = default;
FolderListing::FolderListing(FolderListing&&) noexcept = default;
FolderListing& FolderListing::operator=(FolderListing&&) noexcept = default;

bool FolderListing::read(const QString& winFolder)
{
    entries_.clear();
    const QByteArray host = PathMapper::toHost(winFolder.isEmpty() ? PathMapper::currentDirectory() : winFolder);
    if (host.isEmpty())
        return false;
    // The folder named by the caller may itself be reached through a link
    // (a temporary folder often is); only what lies below it is never followed.
    const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return fd >= 0 && readOpened(fd, host);
}

bool FolderListing::readChild(const FolderListing& parent, const Entry& entry)
{
    entries_.clear();
    const QByteArray host = parent.hostPathOf(entry);
    const int fd = ::open(host.constData(), kOpenFlags);
    if (fd < 0)
        return false;
    Identity id;
    const bool sameMount = identify(fd, id)
        && (id.mount && parent.mountId_ ? id.mount == parent.mountId_ : id.device == parent.deviceId_);
    if (!sameMount) {
        ::close(fd);
        return false;
    }
    return readOpened(fd, host);
}

bool FolderListing::readOpened(int fd, const QByteArray& hostFolder)
{
    folder_ = hostFolder;
    Identity id;
    if (!identify(fd, id)) {
        ::close(fd);
        return false;
    }
    mountId_ = id.mount;
    deviceId_ = id.device;
    alignas(8) char buf[32 * 1024];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto* de = reinterpret_cast<const dirent64*>(buf + off);
            off += de->d_reclen;
            if (isDot(de->d_name))
                continue;
            const qsizetype len = qsizetype(std::strlen(de->d_name));
            Entry e{HostNameCodec::decode(de->d_name, len), QByteArray(de->d_name, len), de->d_type == DT_DIR};
            if (de->d_type == DT_UNKNOWN)
                e.isDirectory = isDirectoryAt(hostPathOf(e));
            entries_.push_back(std::move(e));
        }
    }
    ::close(fd);
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return NameOrder::less(a.name, b.name); });
    return true;
}

bool FolderListing::isDriveRoot() const
{
    return PathMapper::isDriveRoot(PathMapper::toWindows(folder_));
}

QByteArray FolderListing::hostPathOf(const Entry& entry) const
{
    QByteArray path;
    path.reserve(folder_.size() + entry.hostName.size() + 1);
    path.append(folder_);
    if (!folder_.endsWith('/'))
        path.append('/');
    path.append(entry.hostName);
    return path;
}

} // namespace platform
