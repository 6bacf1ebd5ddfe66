#pragma once
// The machine's list of installed programs: the sub-keys of its Uninstall
// key, and on a 64-bit machine those of the 32-bit programs' view too. The
// uninstall-list window and the command line read and delete them here.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

struct InstalledProgram {
    QString subKey;      // the entry's key name
    QString keyPath;     // below HKEY_LOCAL_MACHINE
    QString displayName; // its DisplayName; empty when it has none
    bool view32 = false;
    QList<QPair<QString, QString>> values; // the text values, in the key's order

    // The display name, else the key name.
    QString shownName() const { return displayName.isEmpty() ? subKey : displayName; }
};

namespace InstalledPrograms {

inline constexpr const char* UninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The Uninstall key as a view sees it (see RegistryViews, which says which
// views there are).
QString uninstallPath(bool view32);

// Every view's programs (RegistryViews says which views), each view's in
// its key's order, ending before the first entry name longer than 1000
// characters; a program's values are read only when it has a DisplayName,
// and numbers and binary data are left out. nullopt when no view's key
// exists.
std::optional<QList<InstalledProgram>> list();

// Deletes the key at keyPath below HKEY_LOCAL_MACHINE with everything in
// it. False when the registry refused.
bool remove(const QString& keyPath);

} // namespace InstalledPrograms
