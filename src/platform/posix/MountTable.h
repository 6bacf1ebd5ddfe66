#pragma once
// The host's mount table, read from /proc/self/mountinfo, and the one list
// of file-system types that keep their data on a disk. The drive table and
// the trash both judge mounts here, so a file system is a drive exactly
// when it may also hold a trash of its own.

#include <QByteArray>
#include <QList>
#include <optional>

namespace platform::posix {

struct MountEntry {
    quint64 id = 0;        // the kernel's mount id (statx's stx_mnt_id)
    QByteArray mountPoint; // where it is mounted, as this process sees it
    QByteArray root;       // the part of the file system mounted there ("/" unless a bind)
    QByteArray fsType;     // "ext4", "vfat", "tmpfs", "fuseblk", ...
    QByteArray source;     // "/dev/sda1", or what a pseudo file system names
};

class MountTable {
public:
    // Every mount in the table's order (of several mounts on one folder the
    // last is the visible one); empty when the table cannot be read.
    static QList<MountEntry> read();

    // The mount with this id; nullopt when there is none or the table cannot
    // be read.
    static std::optional<MountEntry> byId(quint64 id);

    // True for a file-system type that keeps data on a disk: those are
    // drives and hold a trash of their own. Memory, pseudo, network and
    // read-only image file systems (tmpfs, proc, nfs, squashfs, ...) are not.
    static bool isDiskFileSystem(const QByteArray& type);
};

} // namespace platform::posix
