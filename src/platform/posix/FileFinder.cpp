#include "platform/FileFinder.h"

#include "platform/FolderListing.h"
#include "platform/MaskMatcher.h"
#include "platform/WinPath.h"

#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

namespace platform {

namespace {

struct StatResult {
    bool ok = false;
    struct statx stx {};
};

StatResult statPath(const QByteArray& path, unsigned mask)
{
    StatResult r;
    r.ok = ::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &r.stx) == 0;
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

// "." and ".." are not in a listing; the finder adds them as Windows does.
struct Item {
    const FolderListing::Entry* entry = nullptr; // nullptr for a dot entry
    QString dotName;
};

} // namespace

struct FileFinder::State {
    FolderListing listing;
    std::vector<Item> items;
    size_t index = 0;
    quint32 attrMask = 0;

    const Item& current() const { return items[index]; }
    QString nameOf(const Item& i) const { return i.entry ? listing.name(*i.entry).toString() : i.dotName; }
    bool isDirectory(const Item& i) const { return !i.entry || i.entry->isDirectory; }
    QByteArray pathOf(const Item& i) const
    {
        if (i.entry)
            return listing.hostPathOf(*i.entry);
        return i.dotName == u"." ? listing.hostFolder() : listing.hostFolder() + "/..";
    }
    bool admitted(const Item& i) const;
    quint32 attributesOf(const Item& i) const;
    bool isMountPoint(const Item& i) const;
};

quint32 FileFinder::State::attributesOf(const Item& i) const
{
    const QByteArray path = pathOf(i);
    const StatResult st = statPath(path, STATX_TYPE | STATX_MODE);
    if (!st.ok)
        return isDirectory(i) ? quint32(faDirectory) : 0u;
    const mode_t mode = st.stx.stx_mode;
    quint32 attr = 0;
    if (S_ISDIR(mode))
        attr |= faDirectory;
    if (i.entry && listing.name(*i.entry).startsWith(u'.'))
        attr |= faHidden;
    if ((mode & 0222) == 0)
        attr |= faReadOnly;
    if (S_ISREG(mode))
        attr |= faArchive;
    if (S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode))
        attr |= faSysFile;
    if (i.entry && !S_ISLNK(mode)) {
        if (const std::optional<quint32> dos = dosAttributes(path)) {
            constexpr quint32 dosBits = faReadOnly | faHidden | faSysFile | faArchive;
            attr = (attr & ~dosBits) | (*dos & dosBits);
        }
    }
    if (S_ISDIR(mode) && isMountPoint(i))
        attr |= faMountPoint;
    return attr;
}

bool FileFinder::State::isMountPoint(const Item& i) const
{
    if (!i.entry || !i.entry->isDirectory)
        return false;
    const StatResult st = statPath(pathOf(i), STATX_MNT_ID);
    if (!st.ok)
        return true; // cannot tell, so never descend
    if (listing.mountId() && (st.stx.stx_mask & STATX_MNT_ID))
        return st.stx.stx_mnt_id != listing.mountId(); // also catches bind mounts
    return makedev(st.stx.stx_dev_major, st.stx.stx_dev_minor) != listing.deviceId();
}

bool FileFinder::State::admitted(const Item& i) const
{
    constexpr quint32 filterable = faHidden | faSysFile | faVolumeID | faDirectory;
    const quint32 excluded = filterable & ~attrMask;
    if (excluded == 0)
        return true;
    if (excluded == faDirectory)
        return !isDirectory(i); // the common "files only" case needs no stat
    return (attributesOf(i) & excluded) == 0;
}

FileFinder::FileFinder() = default;
FileFinder::~FileFinder() = default;

bool FileFinder::findFirst(const QString& pattern, quint32 attrMask)
{
    close();
    auto state = std::make_unique<State>();
    if (!state->listing.read(WinPath::extractFilePath(pattern)))
        return false;
    state->attrMask = attrMask;
    const MaskMatcher mask(WinPath::extractFileName(pattern));
    if (!state->listing.isDriveRoot()) {
        for (const char* dot : {".", ".."})
            if (mask.matches(QString::fromLatin1(dot)))
                state->items.push_back({nullptr, QString::fromLatin1(dot)});
    }
    for (const FolderListing::Entry& e : state->listing.entries())
        if (mask.matches(state->listing.name(e)))
            state->items.push_back({&e, {}});
    d = std::move(state);
    d->index = size_t(-1);
    return findNext();
}

bool FileFinder::findNext()
{
    if (!d)
        return false;
    for (++d->index; d->index < d->items.size(); ++d->index)
        if (d->admitted(d->current()))
            return true;
    close();
    return false;
}

void FileFinder::close()
{
    d.reset();
}

QString FileFinder::name() const
{
    return d->nameOf(d->current());
}

bool FileFinder::isDirectory() const
{
    return d->isDirectory(d->current());
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
    const StatResult st = statPath(d->pathOf(d->current()), STATX_SIZE);
    return st.ok ? st.stx.stx_size : 0;
}

FileTimes FileFinder::times() const
{
    const StatResult st = statPath(d->pathOf(d->current()), STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME);
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
