#include "platform/FileFinder.h"

#include "platform/FolderListing.h"
#include "formats/MaskMatcher.h"
#include "formats/WinPath.h"
#include "posix/EntryAttributes.h"

#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

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
    if (i.entry)
        return listing.attributesOf(*i.entry);
    // "." and "..": the folder and its parent, never hidden by their names.
    return posix::entryAttributes(pathOf(i), false, 0, 0) & ~quint32(faMountPoint);
}

bool FileFinder::State::isMountPoint(const Item& i) const
{
    return i.entry && listing.isMountPoint(*i.entry);
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
    if (!state->listing.read(formats::WinPath::extractFilePath(pattern)))
        return false;
    state->attrMask = attrMask;
    const formats::MaskMatcher mask(formats::WinPath::extractFileName(pattern));
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
