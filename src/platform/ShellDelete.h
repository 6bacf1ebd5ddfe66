#pragma once
// The shell's delete operation on one listed entry, with and without undo.
//
// The entry is reached from its drive's root one component at a time as
// spelled: no other letter case, no link on the way. When the caller passes
// the id the entry had when it was listed, an entry that is no longer that
// same object of the same kind is not deleted: the operation fails and
// nothing changes. Both refuse, deleting nothing, a drive root or the root
// of any mount, a socket, FIFO or device node, and a folder that holds one,
// holds a mounted file system or holds a folder that cannot be read: on
// Windows such entries are in use and the shell's delete fails the same way.
// Links are deleted, never followed.
//
// What Windows would protect by itself is protected here too (see
// DeletionPass and PackageFiles): an entry a running process holds (open,
// its working or root folder, mapped) is in use; what the package manager
// installed, what the system's tmpfiles rules exclude, and another user's
// entry below a shared folder such as /tmp are refused. Inside a folder
// being erased, held and other users' entries stay where they are with the
// folders that hold them, and the rest goes; recycling or erasing an empty
// folder refuses the whole folder instead.

#include "platform/EntryId.h"

#include <QString>

namespace platform {

class ShellDelete {
public:
    // Moves the file or folder at winPath to the trash, where it can be
    // restored from. Returns true only when the whole entry was moved.
    static bool recycle(const QString& winPath, const EntryId& listed = {});

    // Deletes the file or folder (with everything in it) at winPath for
    // good. Returns true only when all of it is gone.
    static bool erase(const QString& winPath, const EntryId& listed = {});

    // Erases the folder at winPath as erase() does, but only while it holds
    // nothing but folders and zero-byte files: a folder listed as empty
    // that has been given content since is left whole.
    static bool eraseEmptyFolder(const QString& winPath, const EntryId& listed = {});

    // Why the last recycle(), erase() or eraseEmptyFolder() of this thread
    // failed, as a Windows system error code; 0 after one that succeeded.
    //   2   the entry is gone or is no longer the one listed, or the drive
    //       is unknown or the path names a drive root
    //   3   a folder on the way is missing, is no folder or is a link
    //   5   access was refused: by the host, or the entry (or one inside)
    //       was installed by a package, is excluded by the system's
    //       tmpfiles rules, or is another user's below a shared folder
    //   32  in use: the entry or something in it is held by a running
    //       process, is a socket, FIFO or device, a mounted file system
    //       or a folder that cannot be read
    //   145 a folder listed as empty has been given content
    // and, when the move or removal itself failed, the host's reason mapped
    // through the platform's one table (platform/WinError.h): such as 19
    // for a read-only file system, 112 for a full disk, 1117 for an I/O
    // error, and 31 for a reason the table has no code for (the varnel.delete
    // diagnostic then names the host's own number).
    static int lastError();

    // Why, in a few words, for the diagnostics and the command line: the
    // rule that refused the entry or the host's own message; empty after
    // a call that succeeded.
    static QString lastReason();

    // The id of the entry at winPath, reached as the two above reach it;
    // an unknown id when there is none.
    static EntryId idOf(const QString& winPath);
};

} // namespace platform
