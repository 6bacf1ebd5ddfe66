#include "posix/Handles.h"

#include "platform/DriveTable.h"
#include "platform/TestSeams.h"
#include "formats/HostNameCodec.h"
#include "formats/WinPath.h"

#include <QStringList>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::posix {

int folderOpenFlags()
{
    return O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
}

UniqueFd openFolderAt(int parent, const QByteArray& name)
{
    return UniqueFd(::openat(parent, name.constData(), folderOpenFlags()));
}

bool statEntryAt(int parent, const char* name, struct statx& st)
{
    return ::statx(parent, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                   STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BTIME | STATX_UID | STATX_NLINK | STATX_MNT_ID,
                   &st)
        == 0;
}

EntryId entryIdOf(const struct statx& st)
{
    EntryKind kind = EntryKind::Special;
    if (S_ISREG(st.stx_mode))
        kind = EntryKind::File;
    else if (S_ISDIR(st.stx_mode))
        kind = EntryKind::Folder;
    else if (S_ISLNK(st.stx_mode))
        kind = EntryKind::Link;
    EntryId id;
    id.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    id.inode = st.stx_ino;
    if (st.stx_mask & STATX_BTIME) {
        id.bornSeconds = st.stx_btime.tv_sec;
        id.bornNanoseconds = st.stx_btime.tv_nsec;
    }
    id.kind = kind;
    return id;
}

std::optional<EntryId> entryIdAt(int parent, const QByteArray& name)
{
    struct statx st {};
    if (!statEntryAt(parent, name.constData(), st))
        return std::nullopt;
    return entryIdOf(st);
}

namespace {

std::atomic<bool> oneCallOpen{true};

} // namespace

} // namespace platform::posix

void platform::testseams::setOneCallOpen(bool on)
{
    posix::oneCallOpen.store(on);
}

namespace platform::posix {

int openFolderOnSameMount(int parent, const char* name)
{
    if (!oneCallOpen.load(std::memory_order_relaxed)) {
        errno = ENOSYS;
        return -1;
    }
    struct open_how how {};
    how.flags = unsigned(folderOpenFlags());
    how.resolve = RESOLVE_NO_XDEV | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    const long fd = ::syscall(SYS_openat2, parent, name, &how, sizeof how);
    if (fd < 0 && errno == ENOSYS)
        oneCallOpen.store(false, std::memory_order_relaxed);
    return int(fd);
}

QByteArray folderPathOf(int fd, const QByteArray& fallback)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    QByteArray buf(4096, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link, buf.data(), size_t(buf.size()));
        if (n < 0 || buf.startsWith("(unreachable)") || (n < buf.size() && buf.left(n).endsWith(" (deleted)")))
            return fallback;
        if (n < buf.size()) {
            buf.truncate(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

QByteArray joinedPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

void allowManyOpenFolders()
{
    static const bool done = [] {
        struct rlimit lim;
        if (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max) {
            lim.rlim_cur = lim.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &lim);
        }
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

// The components of winPath after its drive, or nullopt when the path is
// not absolute or holds "." or ".." (a listed path never does).
std::optional<QStringList> exactComponents(const QString& winPath, QChar& drive)
{
    QString path = winPath;
    path.replace(u'/', u'\\');
    drive = formats::WinPath::driveLetter(path);
    if (drive.isNull() || path.size() < 3 || path.at(2) != u'\\')
        return std::nullopt;
    const QStringList parts = path.mid(3).split(u'\\', Qt::SkipEmptyParts);
    for (const QString& c : parts)
        if (c == u"." || c == u"..")
            return std::nullopt;
    return parts;
}

} // namespace

std::optional<AnchoredEntry> anchor(const QString& winPath)
{
    QChar letter;
    const std::optional<QStringList> parts = exactComponents(winPath, letter);
    const std::optional<FixedDrive> drive = parts ? DriveTable::drive(letter) : std::nullopt;
    if (!drive || parts->isEmpty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    // The drive's root is where the user put it, maybe through a link; below
    // it, nothing is.
    UniqueFd folder(::open(drive->hostRoot.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    QByteArray host = drive->hostRoot;
    for (qsizetype i = 0; folder.valid() && i + 1 < parts->size(); ++i) {
        const QByteArray name = formats::HostNameCodec::encode(parts->at(i));
        folder = openFolderAt(folder.get(), name);
        host += (host.endsWith('/') ? "" : "/") + name;
    }
    if (!folder.valid())
        return std::nullopt;
    AnchoredEntry out;
    out.name = formats::HostNameCodec::encode(parts->last());
    out.hostPath = host + (host.endsWith('/') ? "" : "/") + out.name;
    out.parent = std::move(folder);
    return out;
}

std::optional<QByteArray> readRegularFile(int fd, qint64 maxBytes, const std::function<bool(const struct stat&)>& accept)
{
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes || (accept && !accept(st)))
        return std::nullopt;
    QByteArray data(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    data.truncate(done);
    return data;
}

} // namespace platform::posix
