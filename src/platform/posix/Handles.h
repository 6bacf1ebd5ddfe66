#pragma once
// Folder handles for the posix file operations: every step from a drive's
// root to an entry is taken relative to the folder before it, one name at a
// time, so a link is never followed and no path length limit applies.

#include "platform/EntryId.h"
#include "platform/posix/UniqueFd.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

struct stat;
struct statx;

namespace platform::posix {

// Flags that open a folder without following a link in its place.
int folderOpenFlags();

// Opens the folder name inside parent, never through a link. Invalid (with
// errno set) when name is not a folder or is a link.
UniqueFd openFolderAt(int parent, const QByteArray& name);

// Opens the folder name inside parent in one call that follows no link and
// crosses no mount point, bind mounts included (openat2 with
// RESOLVE_NO_XDEV): what it opens is on parent's own mount. Returns the
// handle (the caller closes it), or -1 with errno set: EXDEV for another
// mount, ELOOP for a link, ENOSYS when the kernel has no openat2 (then at
// once on every later call) or while tests have turned the call off.
int openFolderOnSameMount(int parent, const char* name);

// The id of the entry name inside parent, the entry itself (a link is a link).
// nullopt when it does not exist.
std::optional<EntryId> entryIdAt(int parent, const QByteArray& name);

// Reads what entryIdOf() needs (and the size and, where the kernel tells
// it, the mount) of name inside parent, the entry itself. False when it does not exist.
bool statEntryAt(int parent, const char* name, struct statx& st);
EntryId entryIdOf(const struct statx& st);

// Where the open folder fd really is (links on the way resolved), as the
// kernel names it; fallback when it cannot tell (the folder was removed).
QByteArray folderPathOf(int fd, const QByteArray& fallback = {});

// The whole content of the regular file open on fd, read to its end
// (shorter when it shrank meanwhile). nullopt when fd is invalid or no
// regular file, when the file is larger than maxBytes, when accept (given
// the file's fstat) refuses it, or when a read fails. fd stays the caller's.
std::optional<QByteArray> readRegularFile(int fd, qint64 maxBytes,
                                          const std::function<bool(const struct stat&)>& accept = {});

// folder, a "/" unless it ends with one, and name.
QByteArray joinedPath(const QByteArray& folder, const QByteArray& name);

// Raises the open-file limit as far as the system allows, once per process:
// a walk holds one folder handle per level of the tree it is in.
void allowManyOpenFolders();

// An entry named by a Windows-form path, reached from its drive's root one
// component at a time exactly as spelled: no other letter case, no "." or
// ".." component, no link on the way.
struct AnchoredEntry {
    UniqueFd parent;     // the folder holding the entry
    QByteArray name;     // the entry's host name inside parent
    QByteArray hostPath; // for messages and the trash's record only
};

// Anchors winPath. nullopt (errno set) for a drive root, an unknown drive, a
// network path, or when a folder on the way is missing or is a link.
std::optional<AnchoredEntry> anchor(const QString& winPath);

} // namespace platform::posix
