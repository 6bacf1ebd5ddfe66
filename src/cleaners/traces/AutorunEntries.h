#pragma once
// The programs the registry starts at log-on: the values of the Run keys of
// the machine (both views on a 64-bit machine), the user and the default
// user. The autorun window and the command line list and delete them here.

#include "platform/RegistryKey.h"

#include <QList>
#include <QString>

struct AutorunEntry {
    int place = 0;       // which Run key, in the order list() reads them
    QString root;        // "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER" or "HKEY_USERS"
    QString name;        // the value's name
    QString command;     // its command line
    bool view32 = false; // in the 32-bit programs' view of a 64-bit machine
};

class AutorunEntries {
public:
    // Every value with a command line, key by key (machine, machine's
    // 32-bit view, user, default user), each key's values in its order.
    // A missing key lists nothing; a value that holds no text starts no
    // program and is left out.
    static QList<AutorunEntry> list();

    // The short name of an entry's root ("HKLM", "HKCU", "HKU").
    static QString shortRoot(const AutorunEntry& entry);

    // Deletes the entry's value from its key. False when the key cannot be
    // opened for writing or the value stays (the registry refused, for
    // instance while Wine runs the prefix).
    static bool remove(const AutorunEntry& entry);
};
