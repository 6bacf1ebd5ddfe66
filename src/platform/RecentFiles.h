#pragma once
// The desktop's list of recently used files, the Linux counterpart of the
// Windows Documents menu: the XBEL file recently-used.xbel in the user's
// data folder ($XDG_DATA_HOME, else ~/.local/share), which GTK and KDE
// programs read and write.

#include <QByteArray>

namespace platform {

class RecentFiles {
public:
    // Empties the list: the file is replaced atomically by a valid XBEL
    // document without bookmarks, as the desktop's own "clear recent files"
    // leaves it. True when it is empty now (also when there was no list);
    // false, with the old file untouched, when it could not be replaced.
    static bool clear();

    // Where the list lives.
    static QByteArray hostPath();
};

} // namespace platform
