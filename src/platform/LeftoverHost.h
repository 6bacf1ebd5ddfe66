#pragma once
// What the Wine leftovers finder asks of the host, by host path: the user's
// folders, the Steam libraries prefix discovery knows, listings and small
// reads that never follow a link below the folder given, whether a
// prefix's lock is held, and running the desktop's cache tools. Nothing
// here deletes; deletion is ShellDelete's, by the ids listed here.

#include "platform/EntryId.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

struct HostEntry {
    QByteArray name; // the entry's host name
    EntryId id;      // what it is (a link is a link)
    quint64 size = 0;
    qint64 modified = 0; // seconds since the epoch
};

class LeftoverHost {
public:
    // The home folder ($HOME) and the XDG base folders: the variable when it
    // holds an absolute path, else the default below home; links resolved
    // where the folder exists.
    static QByteArray home();
    static QByteArray dataHome();
    static QByteArray configHome();
    static QByteArray cacheHome();

    // The Steam installation folders below home (native, Debian, Flatpak,
    // Snap), and those plus every library their libraryfolders.vdf lists:
    // real paths, each once.
    static QList<QByteArray> steamRoots(const QByteArray& home);
    static QList<QByteArray> steamLibraries(const QByteArray& home);

    // The entries of folder in name order ("." and ".." left out), each
    // looked at itself; empty when it cannot be read. folder itself may be
    // reached through links; the caller passes only folders it trusts so.
    static QList<HostEntry> entries(const QByteArray& folder);
    // The same, nullopt when the folder cannot be read (an empty folder
    // gives an empty list).
    static std::optional<QList<HostEntry>> listing(const QByteArray& folder);

    // The entry at path itself (a link is a link); nullopt when it does not
    // exist. missing() is true only when the host says it does not exist
    // (not when it could not be asked).
    static std::optional<HostEntry> entry(const QByteArray& path);
    static bool missing(const QByteArray& path);

    // The contents of the regular file at path when it is no link and at
    // most maxBytes long; empty otherwise.
    static QByteArray readSmallFile(const QByteArray& path, qint64 maxBytes = 1 << 20);

    // True when some process holds a lock on the file (a whole-file flock
    // or a record lock), as Proton holds pfx.lock while a game runs. A file
    // that cannot be opened, or is a link, holds no lock.
    static bool lockHeld(const QByteArray& path);

    // The absolute host path of the Windows-form path's entry, and back.
    static QString windowsPath(const QByteArray& hostPath);

    // Runs program (a bare name found in an absolute folder of PATH) with
    // one argument and waits for it, at most timeoutMs. It runs only when it
    // and its folder belong to root or this user and nobody else may write
    // them. False when it is not found, not trusted, fails to start or
    // does not end in time (it is then killed); its absence is no error to
    // the caller.
    static bool runFromPath(const QByteArray& program, const QByteArray& argument, int timeoutMs = 30000);
};

} // namespace platform
