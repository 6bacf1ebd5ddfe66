#pragma once
// The freedesktop.org Trash, reached through folder handles: an entry is
// renamed into the trash of its own file system relative to the folder that
// holds it, so nothing on its path is looked up again by name.
//
// - An entry on the home trash's file system goes into the home trash.
// - An entry on another disk file system (MountTable's list, the one that
//   also makes drives) goes into that file system's $topdir/.Trash/$uid
//   (when an administrator made .Trash, sticky and no link, and $uid is the
//   user's own and no link) or else $topdir/.Trash-$uid (the user's own, no
//   link); when neither may be used, it is copied into the home trash.
// - An entry on a file system that keeps no trash of its own (a tmpfs and
//   other memory, system or network file systems) is copied into the home
//   trash and then removed, so it can still be restored. The copy survives
//   a kill or power cut at any moment: the record is written whole, the
//   copy made under a hidden name, synced and renamed, and only then the
//   original removed; the first move into a trash in a process removes
//   what a killed copy left (records without their copy while the
//   original is still in place, hidden partial copies).
// - An entry whose mount the kernel does not name stays where it is.

#include "posix/Handles.h"

#include <QByteArray>

namespace platform::posix {

class Trash {
public:
    // The home trash folder: Trash in the user's data folder
    // (KnownFolders::dataHome), read anew on every call.
    static QByteArray homeFolder();

    // Moves the entry into a trash with its .trashinfo. Returns true only
    // when the entry left its place; false leaves it in place and nothing
    // of it in any trash.
    static bool moveIn(const AnchoredEntry& entry);
};

} // namespace platform::posix
