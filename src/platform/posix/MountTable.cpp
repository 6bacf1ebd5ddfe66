#include "posix/MountTable.h"

#include <QFile>
#include <QSet>

namespace platform::posix {

namespace {

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
QByteArray unescapeOctal(const QByteArray& s)
{
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            bool ok = false;
            const int v = s.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(s[i]);
    }
    return out;
}

// One line of mountinfo: id, parent id, major:minor, root, mount point,
// options, optional fields up to "-", then type, source and super options.
std::optional<MountEntry> parseLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype dash = fields.indexOf("-");
    if (fields.size() < 10 || dash < 6 || dash + 2 >= fields.size())
        return std::nullopt;
    bool ok = false;
    MountEntry m;
    m.id = fields[0].toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    m.root = unescapeOctal(fields[3]);
    m.mountPoint = unescapeOctal(fields[4]);
    m.fsType = fields[dash + 1];
    m.source = unescapeOctal(fields[dash + 2]);
    return m;
}

} // namespace

QList<MountEntry> MountTable::read()
{
    QList<MountEntry> mounts;
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    if (!f.open(QIODevice::ReadOnly))
        return mounts;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (std::optional<MountEntry> m = parseLine(line))
            mounts.append(std::move(*m));
    return mounts;
}

std::optional<MountEntry> MountTable::byId(quint64 id)
{
    for (MountEntry& m : read())
        if (m.id == id)
            return std::move(m);
    return std::nullopt;
}

bool MountTable::isDiskFileSystem(const QByteArray& type)
{
    // fuseblk is a FUSE driver on a block device (ntfs-3g, exfat-fuse);
    // other FUSE types (fuse.sshfs, ...) are not disks of this machine.
    static const QSet<QByteArray> disk = {"ext2", "ext3",    "ext4",     "xfs",    "btrfs", "f2fs", "vfat",
                                          "fat",  "msdos",   "exfat",    "ntfs",   "ntfs3", "jfs",  "reiserfs",
                                          "hfs",  "hfsplus", "bcachefs", "nilfs2", "udf",   "zfs",  "fuseblk"};
    return disk.contains(type);
}

} // namespace platform::posix
