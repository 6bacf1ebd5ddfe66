#pragma once
// The user's home trash (freedesktop.org layout) for entries whose own file
// system has none: they are copied in with their .trashinfo and then
// removed, so they can still be restored.

#include <QByteArray>

namespace platform::posix {

class HomeTrash {
public:
    // The home trash folder: $XDG_DATA_HOME/Trash, as GLib finds it.
    static QByteArray folder();

    // Copies the entry at hostPath into the home trash, writes its
    // .trashinfo, then removes the original. Returns false, leaving the
    // original in place and nothing in the trash, when the copy fails; true
    // only when the original is gone as well.
    static bool moveIn(const QByteArray& hostPath);
};

} // namespace platform::posix
