#pragma once
// The folders a Wine prefix is built of: its Windows folder with all it
// holds, and every folder a "Shell Folders" value of its registry names
// (Desktop, Documents, AppData, Start Menu, Startup, Cache, Cookies,
// History, Recent, ...; the user's and the machine's). They stay even when
// empty: Wine and the programs in the prefix expect them, so the
// empty-folder search never offers them. What they hold is another matter
// (the browser cleaners empty Cache and Cookies).

#include <QString>
#include <QStringList>

namespace core {

class PrefixSkeleton {
public:
    // Reads the prefix's registry once. On the host (no prefix) the
    // skeleton is empty.
    PrefixSkeleton();

    // True when winFolder (Windows form) is the Windows folder or lies in
    // it, or is one of the shell folders; without regard to case.
    bool contains(const QString& winFolder) const;

    // The shell folders read, folded, without trailing backslash.
    const QStringList& shellFolders() const { return shellFolders_; }

private:
    QString windowsDir_; // folded, with a trailing backslash; empty on the host
    QStringList shellFolders_;
};

} // namespace core
