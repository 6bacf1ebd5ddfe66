#include "platform/FileFinder.h"

#include "platform/HostNameCodec.h"
#include "platform/MaskMatcher.h"
#include "platform/NameOrder.h"
#include "platform/PathMapper.h"
#include "platform/WinPath.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr unsigned char kDotEntry = 0xFF; // marks "." and ".."

struct Entry {
    QString name;
    QByteArray hostName;
    unsigned char type = DT_UNKNOWN;
    bool isDir = false;
};

struct StatResult {
    bool ok = false;
    struct statx stx {};
};

StatResult statEntry(int dirFd, const char* name, unsigned mask)
{
    StatResult r;
    r.ok = ::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &r.stx) == 0;
    return r;
}

QDateTime toDateTime(const statx_timestamp& t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, Qt::UTC);
}

// user.DOSATTRIB holds text such as "0x22" (Samba, Wine).
std::optional<quint32> dosAttributes(const QByteArray& hostPath)
{
    char buf[64];
    const ssize_t n = ::lgetxattr(hostPath.constData(), "user.DOSATTRIB", buf, sizeof buf - 1);
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

bool isDriveRootFolder(const QByteArray& hostFolder)
{
    return PathMapper::isDriveRoot(PathMapper::toWindows(hostFolder));
}

} // namespace

struct FileFinder::State {
    int dirFd = -1;
    QByteArray folder; // host folder
    std::vector<Entry> entries;
    size_t index = 0;
    quint32 attrMask = 0;
    mutable struct statx folderStx {};
    mutable bool folderStatKnown = false;

    ~State() { closeFd(); }
    void closeFd()
    {
        if (dirFd >= 0)
            ::close(dirFd);
        dirFd = -1;
    }
    const Entry& current() const { return entries[index]; }
    QByteArray pathOf(const Entry& e) const
    {
        return folder.endsWith('/') ? folder + e.hostName : folder + '/' + e.hostName;
    }
    bool readFolder(const MaskMatcher& mask);
    bool admitted(const Entry& e) const;
    quint32 attributesOf(const Entry& e) const;
    bool isMountPoint(const Entry& e) const;
};

bool FileFinder::State::readFolder(const MaskMatcher& mask)
{
    dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    if (!isDriveRootFolder(folder)) {
        for (const char* dot : {".", ".."})
            if (mask.matches(QString::fromLatin1(dot)))
                entries.push_back({QString::fromLatin1(dot), QByteArray(dot), kDotEntry, true});
    }
    const size_t firstNamed = entries.size();
    alignas(8) char buf[64 * 1024];
    for (;;) {
        const ssize_t n = ::getdents64(dirFd, buf, sizeof buf);
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto* de = reinterpret_cast<const dirent64*>(buf + off);
            off += de->d_reclen;
            const char* raw = de->d_name;
            if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
                continue;
            const qsizetype len = qsizetype(strlen(raw));
            QString name = HostNameCodec::decode(raw, len);
            if (!mask.matches(name))
                continue;
            Entry e{std::move(name), QByteArray(raw, len), de->d_type, de->d_type == DT_DIR};
            if (e.type == DT_UNKNOWN) {
                const StatResult st = statEntry(dirFd, raw, STATX_TYPE);
                e.isDir = st.ok && S_ISDIR(st.stx.stx_mode);
            }
            entries.push_back(std::move(e));
        }
    }
    std::sort(entries.begin() + firstNamed, entries.end(),
              [](const Entry& a, const Entry& b) { return NameOrder::less(a.name, b.name); });
    return true;
}

quint32 FileFinder::State::attributesOf(const Entry& e) const
{
    const StatResult st = statEntry(dirFd, e.hostName.constData(), STATX_TYPE | STATX_MODE);
    if (!st.ok)
        return e.isDir ? quint32(faDirectory) : 0u;
    const mode_t mode = st.stx.stx_mode;
    quint32 attr = 0;
    if (S_ISDIR(mode))
        attr |= faDirectory;
    if (e.type != kDotEntry && e.name.startsWith(u'.'))
        attr |= faHidden;
    if ((mode & 0222) == 0)
        attr |= faReadOnly;
    if (S_ISREG(mode))
        attr |= faArchive;
    if (S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode))
        attr |= faSysFile;
    if (!S_ISLNK(mode) && e.type != kDotEntry) {
        if (const std::optional<quint32> dos = dosAttributes(pathOf(e))) {
            constexpr quint32 dosBits = faReadOnly | faHidden | faSysFile | faArchive;
            attr = (attr & ~dosBits) | (*dos & dosBits);
        }
    }
    if (S_ISDIR(mode) && isMountPoint(e))
        attr |= faMountPoint;
    return attr;
}

bool FileFinder::State::isMountPoint(const Entry& e) const
{
    if (!e.isDir || e.type == kDotEntry)
        return false;
    if (!folderStatKnown) {
        ::statx(dirFd, "", AT_EMPTY_PATH, STATX_MNT_ID, &folderStx);
        folderStatKnown = true;
    }
    const StatResult st = statEntry(dirFd, e.hostName.constData(), STATX_MNT_ID);
    if (!st.ok)
        return true; // cannot tell, so never descend
    if ((folderStx.stx_mask & STATX_MNT_ID) && (st.stx.stx_mask & STATX_MNT_ID))
        return st.stx.stx_mnt_id != folderStx.stx_mnt_id; // also catches bind mounts
    return st.stx.stx_dev_major != folderStx.stx_dev_major
        || st.stx.stx_dev_minor != folderStx.stx_dev_minor;
}

bool FileFinder::State::admitted(const Entry& e) const
{
    constexpr quint32 filterable = faHidden | faSysFile | faVolumeID | faDirectory;
    const quint32 excluded = filterable & ~attrMask;
    if (excluded == 0)
        return true;
    if (excluded == faDirectory)
        return !e.isDir; // no stat needed for the common "files only" case
    return (attributesOf(e) & excluded) == 0;
}

FileFinder::FileFinder() = default;
FileFinder::~FileFinder() = default;

bool FileFinder::findFirst(const QString& pattern, quint32 attrMask)
{
    close();
    const QString folder = WinPath::extractFilePath(pattern);
    const MaskMatcher mask(WinPath::extractFileName(pattern));
    auto state = std::make_unique<State>();
    state->folder = PathMapper::toHost(folder.isEmpty() ? PathMapper::currentDirectory() : folder);
    state->attrMask = attrMask;
    if (state->folder.isEmpty() || !state->readFolder(mask))
        return false;
    d = std::move(state);
    d->index = 0;
    while (d->index < d->entries.size() && !d->admitted(d->current()))
        ++d->index;
    if (d->index < d->entries.size())
        return true;
    close();
    return false;
}

bool FileFinder::findNext()
{
    if (!d)
        return false;
    ++d->index;
    while (d->index < d->entries.size() && !d->admitted(d->current()))
        ++d->index;
    if (d->index < d->entries.size())
        return true;
    close();
    return false;
}

void FileFinder::close()
{
    d.reset();
}

const QString& FileFinder::name() const
{
    return d->current().name;
}

bool FileFinder::isDirectory() const
{
    return d->current().isDir;
}

bool FileFinder::isMountPoint() const
{
    return d->isMountPoint(d->current());
}

quint32 FileFinder::attributes() const
{
    return d->attributesOf(d->current());
}

quint64 FileFinder::size() const
{
    const StatResult st = statEntry(d->dirFd, d->current().hostName.constData(), STATX_SIZE);
    return st.ok ? st.stx.stx_size : 0;
}

FileTimes FileFinder::times() const
{
    const StatResult st = statEntry(d->dirFd, d->current().hostName.constData(),
                                    STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME);
    if (!st.ok)
        return {};
    const bool hasBirth = st.stx.stx_mask & STATX_BTIME;
    return {toDateTime(hasBirth ? st.stx.stx_btime : st.stx.stx_ctime), toDateTime(st.stx.stx_atime),
            toDateTime(st.stx.stx_mtime)};
}

QByteArray FileFinder::hostPath() const
{
    return d->pathOf(d->current());
}

} // namespace platform
