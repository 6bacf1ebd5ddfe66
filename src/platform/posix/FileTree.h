#pragma once
// Whole-tree operations of the posix shell delete. Each works relative to
// folder handles opened without following links, walks iteratively (no
// recursion, so no depth limit) and never builds a full path (so no path
// length limit). A link is always handled as the link itself.

#include <QByteArray>

namespace platform::posix {

class DeletionGuard;

enum class TreeCheck { Deletable, HasSpecialEntry, HasMountPoint, Unreadable, HasContent, HasKeptEntry };

// What a tree operation does with the entries a guard says must stay.
enum class KeptEntries { Refuse, LeaveInPlace };

// Looks through the entry name inside parent for what the shell must never
// delete: sockets, FIFOs and device nodes (in use, as on Windows) and
// folders on which another file system is mounted. A folder inside that
// cannot be opened gives Unreadable: what cannot be looked at is not deleted.
// With onlyEmpty, anything but folders and zero-byte files inside gives
// HasContent: the folder is no longer the empty one that was listed.
// With a guard, an entry it says must stay gives HasKeptEntry (its reason,
// a Windows error code, in *keptReason) when kept is Refuse; with
// LeaveInPlace such entries are passed over, a folder among them unlooked-at.
TreeCheck checkTree(int parent, const QByteArray& name, bool onlyEmpty = false, const DeletionGuard* guard = nullptr,
                    KeptEntries kept = KeptEntries::Refuse, int* keptReason = nullptr);

// True when the folder name inside parent is the root of a mount.
bool isMountRoot(int parent, const QByteArray& name);

// Deletes the entry name inside parent: a link or file by unlink, a folder
// with all it holds (never entering another file system). Returns true only
// when everything is gone. With a guard, the entries it says must stay are
// left in place with the folders holding them (errno then tells why: EBUSY
// in use, EACCES another user's), and the rest goes.
bool removeTree(int parent, const QByteArray& name, const DeletionGuard* guard = nullptr);

// Copies the entry name inside srcParent to dstName inside dstParent (which
// must not exist): files with contents, mode and times, folders with all
// they hold, links as links. All or nothing: on any failure what was copied
// is removed again and false returned.
bool copyTree(int srcParent, const QByteArray& srcName, int dstParent, const QByteArray& dstName);

} // namespace platform::posix
