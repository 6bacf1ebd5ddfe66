#pragma once
// Whole-tree operations of the posix shell delete. Every step works through
// folder descriptors opened with O_NOFOLLOW, so a link is always handled as
// the link itself and a folder swapped for a link mid-way is never entered.

#include <QByteArray>

namespace platform::posix {

enum class TreeCheck { Deletable, HasSpecialEntry, HasMountPoint };

// Looks through the entry at path (not following links) for what the shell
// must never delete: sockets, FIFOs and device nodes (in use, as on
// Windows) and folders on which another file system is mounted.
TreeCheck checkTree(const QByteArray& path);

// True when path is the root of a mount (or "/").
bool isMountRoot(const QByteArray& path);

// Deletes the entry at path: a link or file by unlink, a folder with all it
// holds. Returns true only when everything is gone.
bool removeTree(const QByteArray& path);

// Copies the entry at source to target (which must not exist): files with
// their contents, mode and times, folders recursively, links as links.
// Returns false, after removing what it copied, when any part fails.
bool copyTree(const QByteArray& source, const QByteArray& target);

} // namespace platform::posix
