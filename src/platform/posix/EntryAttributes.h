#pragma once
// The Windows-style attributes of one host entry, shared by the folder
// listing and the find-first enumeration.

#include <QByteArray>

struct stat;
struct statx;

namespace platform::posix {

// faDirectory from the file type; faHidden for a dot name; faReadOnly
// without any write bit; faArchive for a regular file; faSysFile for
// devices, sockets and FIFOs; user.DOSATTRIB (text "0x..") replaces the
// hidden, system, archive and read-only bits where an entry carries it.
// faMountPoint for a folder whose mount differs from the listing's
// (parentMount 0: compare devices). Links are described as themselves.
quint32 entryAttributes(const QByteArray& hostPath, bool dotName, quint64 parentMount, quint64 parentDevice);

// The same for the entry name inside the open folder dirFd, with its statx
// already read (no path is built, so no length limit applies). Where st
// holds the entry's mount id, a folder's mount is judged from it without
// another look.
quint32 entryAttributesAt(int dirFd, const char* name, const struct statx& st, bool dotName, quint64 parentMount,
                          quint64 parentDevice);

// The same for an entry whose mode is known already, without the mount
// check (faMountPoint is never set).
quint32 entryAttributesOfMode(const QByteArray& hostPath, unsigned mode, bool dotName);

// True when the folder at hostPath (or name inside dirFd) is on another
// mount than the one given; also when it cannot be examined, so nobody
// descends into it.
bool isOtherMount(const QByteArray& hostPath, quint64 parentMount, quint64 parentDevice);
bool isOtherMountAt(int dirFd, const char* name, quint64 parentMount, quint64 parentDevice);

} // namespace platform::posix
