#include "platform/EntryLookup.h"
#include <QFileInfo>
#include <QFile>
#include <QDir>

#include "platform/FileAttributes.h"
#include "formats/HostNameCodec.h"
#include "platform/PathMapper.h"
#include "posix/EntryAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

QDateTime toDateTime(const statx_timestamp& t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, Qt::UTC);
}

} // namespace

std::optional<EntryData> EntryLookup::read(const QString& winPath)
{
    constexpr unsigned mask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME
        | STATX_BTIME;
    const auto statOf = [](const QByteArray& path, struct statx& st) {
        return !path.isEmpty()
            && ::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &st) == 0;
    };
    // The path as written is almost always there; only when it is not is
    // each component looked up without regard to case.
    struct statx st {};
    QByteArray host = PathMapper::toHostAsWritten(winPath);
    if (!statOf(host, st)) {
        host = PathMapper::toHost(winPath);
        if (!statOf(host, st))
            return std::nullopt;
    }
    EntryData d;
    d.name = formats::HostNameCodec::decode(host.mid(host.lastIndexOf('/') + 1));
    d.isDirectory = S_ISDIR(st.stx_mode);
    d.size = st.stx_size;
    d.attributes = posix::entryAttributesOfMode(host, st.stx_mode, d.name.startsWith(u'.'));
    const bool hasBirth = st.stx_mask & STATX_BTIME;
    d.times = {toDateTime(hasBirth ? st.stx_btime : st.stx_ctime), toDateTime(st.stx_atime), toDateTime(st.stx_mtime)};
    return d;
}

bool EntryLookup::isExistingFile(const QString& winPath)
{
    const QByteArray host = PathMapper::toHost(winPath);
    struct stat st;
    return !host.isEmpty() && ::stat(host.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString EntryLookup::realHostFolder(const QByteArray& hostPath)
{
    if (hostPath.isEmpty())
        return {};
    const QString text = QDir::cleanPath(QFile::decodeName(hostPath));
    // The longest leading part that exists, links resolved, and the rest
    // as written: a folder still to be made is judged by where it would be.
    QString head = text;
    QString tail;
    for (;;) {
        const QString canonical = QFileInfo(head).canonicalFilePath();
        if (!canonical.isEmpty())
            return QDir::cleanPath(canonical + tail);
        const qsizetype slash = head.lastIndexOf(u'/');
        if (slash <= 0)
            return text;
        tail.prepend(head.mid(slash));
        head.truncate(slash);
    }
}

QString EntryLookup::realHomeFolder()
{
    return realHostFolder(QFile::encodeName(QDir::homePath()));
}

} // namespace platform
