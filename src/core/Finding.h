#pragma once
// One entry a job found: what deletion needs to reach exactly that entry,
// what the user is shown, and whether and why it must be left alone. Every
// job yields these and every front end lists them; the protection is a
// field, never something read back out of a caption.

#include "platform/EntryId.h"

#include <QString>

namespace core {

// Why a finding is left alone when the rows are deleted.
enum class Protection : quint8 {
    None,
    Packaged,       // the package manager installed it
    SystemFolder,   // it lies in a system folder or directly in a drive root
    ExcludedFolder, // it lies in a folder the user excluded
    InUse,          // a running process holds it
    UserFiles,      // it holds the user's own files (saves, settings)
};

// A few words on a protection, for the command line and the logs; empty
// for None.
QString reasonOf(Protection why);

struct Finding {
    QString path;             // Windows form ("c:\…"); PathMapper gives the host path
    platform::EntryId id;     // what the entry was when found; deletion checks it
    quint64 size = 0;
    Protection protection = Protection::None;
    // How many times the window's list shows the skip marker in front of
    // the path (a file in a system folder and directly in the root is
    // marked once for each rule); 0 when protection is None.
    quint8 markers = 0;
    bool selected = true;     // chosen for deletion unless the user says otherwise
    QString detail;           // what else a row shows: a broken shortcut's target
    // What the tools that list more than files fill in; empty or 0 elsewhere.
    QString kind;             // what sort of entry it is, for a kind column and a --kind filter
    QString name;             // a name for people, where the path alone says little
    qint64 lastUsed = 0;      // seconds since the epoch; 0 when unknown
    quint64 userBytes = 0;    // how much of size is the user's own files

    bool isProtected() const { return protection != Protection::None; }
};

} // namespace core
