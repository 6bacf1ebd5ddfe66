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
inline constexpr const char* UninstallKey32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The entry names of one view's Uninstall key, ending before the first name
// longer than 1000 characters; nullopt when the key does not exist.
std::optional<QStringList> entriesOf(const QString& uninstallPath);

// One entry. Its values are read only when it has a DisplayName; numbers
// and binary data are left out.
InstalledProgram read(const QString& uninstallPath, const QString& subKey, bool view32);

// Both views' programs; nullopt when neither view's key exists.
std::optional<QList<InstalledProgram>> list();

// Deletes the key at keyPath below HKEY_LOCAL_MACHINE with everything in
// it. False when the registry refused.
bool remove(const QString& keyPath);

} // namespace InstalledPrograms
