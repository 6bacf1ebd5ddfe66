#pragma once
// What one run of the program works on, as the platform reads it: the Wine
// prefix or the host, the drive table, the folders the program keeps its
// files in, and the clock. A front end builds one at start and installs it
// before anything reads it; tests build their own. Each field left at its
// default takes what the process was started with (its environment
// variables, the program's own folder, the system's clock and rules), so a
// value made with no field set is the plain program.

#include "platform/DriveTable.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace platform {

struct RunEnvironment {
    // The Wine prefix folder (absolute host path, no trailing "/"), or an
    // empty one for the host; nullopt: what WINEPREFIX names, when it holds
    // a system.reg.
    std::optional<QByteArray> prefixFolder;

    // The drive table in VARNEL_DRIVES's form ("c=/dir;d=/other"), an empty
    // one for the default table; nullopt: VARNEL_DRIVES.
    std::optional<QByteArray> drives;

    // Host folder of the Windows folder, empty for c:\windows; nullopt:
    // VARNEL_WINDIR.
    std::optional<QByteArray> windowsFolder;

    // Host folder of the host registry files, empty for the default under
    // the user's data folder; nullopt: VARNEL_REGISTRY.
    std::optional<QByteArray> registryFolder;

    // The program's folder (host form), where the libraries and Plugins/
    // sit; empty: the folder of the running executable.
    QByteArray programFolder;

    // Whether the drive letters are those Windows programs meant; nullopt:
    // as the drive table says (a table the user set, or a prefix's).
    std::optional<bool> lettersAreWindows;

    // Capacity and free space of a drive where it answers with a value;
    // empty, or nullopt for a letter: the file system's own figures.
    std::function<std::optional<DriveSpace>(QChar letter)> driveSpace;

    // The folders a prefix's wineserver keeps its server folder in; empty:
    // the temporary folders of this user and of the prefix's owner.
    QList<QByteArray> serverFolderParents;

    // The tmpfiles.d folders whose rules protect temporary entries; empty:
    // the system's.
    QList<QByteArray> tmpfilesFolders;

    // The user whose ownership makes a plug-in folder trusted; nullopt: the
    // effective user. Root stays trusted whoever this is.
    std::optional<quint32> user;

    // Milliseconds since an arbitrary start, modulo 2^32; empty: the
    // system's steady clock.
    std::function<quint32()> clock;

    // The drive table, Windows folder and registry folder in force: the
    // field when set, else the environment variable.
    QByteArray drivesInForce() const;
    QByteArray windowsFolderInForce() const;
    QByteArray registryFolderInForce() const;

    // Makes environment the run's one. A front end calls it once at start,
    // before any thread of the program reads it; tests call it for each
    // sandbox. Caches the platform keeps of the old environment are dropped.
    static void install(RunEnvironment environment);

    // The installed environment; a default one until install() is called.
    static const RunEnvironment& current();

    // A number that changes with every install(): caches compare it to
    // know whether they were made for the environment in force.
    static quint64 generation();
};

} // namespace platform
