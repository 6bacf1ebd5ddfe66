#pragma once
// The Wine prefix the program works inside, when there is one: the run
// environment's prefix, or WINEPREFIX naming a folder that holds system.reg. Without one the program works on
// the host (its own registry files, the host's drives and folders).

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

class WinePrefix {
public:
    // The prefix folder (absolute host path, no trailing "/"), or empty when
    // the program works on the host.
    static QByteArray folder();
    static bool active() { return !folder().isEmpty(); }

    // What WINEPREFIX says, as it stands.
    static QByteArray variable();

    // dir without trailing "/" when it is an absolute path to a folder that
    // holds a system.reg (a Wine prefix); empty otherwise.
    static QByteArray validFolder(const QByteArray& dir);

    // True when the prefix's wineserver runs: a lock is held on the file
    // "lock" of its server folder, or a server folder for the prefix may be
    // there but its lock cannot be asked. False on the host.
    static bool serverRunning() { return serverRunning(folder()); }
    // The same for the prefix folder prefixFolder (absolute host path), the
    // current one or not; false for an empty or missing folder.
    static bool serverRunning(const QByteArray& prefixFolder);
    // The same for many prefixes at once (one answer per folder, in order),
    // looking through the temporary folders once per owner rather than once
    // per prefix.
    static QList<bool> serverRunning(const QList<QByteArray>& prefixFolders);

    // The server folder is "server-<dev>-<inode>" of the prefix folder (in
    // lower-case hexadecimal), looked for in RunEnvironment's
    // serverFolderParents or by default, for this process's user and the
    // prefix folder's owner, in .wine-<uid> and every wine-* folder of
    // theirs, in /tmp, in $TMPDIR and in libpam-tmpdir's /tmp/user/<uid>.

    // The user name Wine gives the prefix's profile folder (c:\users\<name>).
    static QString userName();
};

} // namespace platform
