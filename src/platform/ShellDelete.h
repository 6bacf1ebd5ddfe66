#pragma once
// The shell's delete operation on one path, with and without undo.
//
// Both refuse, deleting nothing, a drive root or the root of any mount, an
// entry that is a socket, FIFO or device node, and a folder that holds one
// or holds a mounted file system: on Windows such entries are in use and
// the shell's delete fails the same way. Links are deleted, never followed.

#include <QString>

namespace platform {

class ShellDelete {
public:
    // Moves the file or folder at winPath to the trash, where it can be
    // restored from. A file system without a trash of its own (a tmpfs) has
    // its entry copied into the home trash and then removed. Returns true
    // only when the whole entry was moved.
    static bool recycle(const QString& winPath);

    // Deletes the file or folder (with everything in it) at winPath for
    // good. Returns true only when all of it is gone.
    static bool erase(const QString& winPath);
};

} // namespace platform
