#pragma once
// One open key of the registry, as the program's registry commands use it.
//
// The registry has three roots: the current user, the local machine and the
// users root (of which only ".DEFAULT" exists). Key and value names compare
// without regard to case and keep their spelling. A key holds no handle on
// anything: every call looks the key up again in the registry's current
// state, so a key deleted meanwhile makes the calls fail.
//
// Writes are refused (the calls return false, nothing changes) when the
// store behind the root cannot be written: its file could not be parsed, or
// the program that owns the files (a Wine prefix's server) is running.

#include <QString>
#include <QStringList>

#include "formats/RegistryText.h"

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine, Users };

// Value types, numbered as the registry numbers them.
using formats::RegistryType;
using enum formats::RegistryType;

class RegistryKey {
public:
    RegistryKey() = default;

    // Opens path ("Software\Microsoft", a trailing backslash allowed; under
    // the users root it starts with ".DEFAULT") below root. With create, a
    // missing key and its missing parents are made; that needs write access,
    // so it fails when writes are refused. An existing key opened with create
    // while writes are refused is open but read-only. False when the key does
    // not exist (and is not created) or the store cannot be read. Link keys
    // on the path (the last one included) are followed into the root their
    // target names; a link whose target is no key of these roots' files
    // makes the open fail. A key 512 or more levels deep is refused.
    bool open(RegistryRoot root, const QString& path, bool create);
    void close() { open_ = false; }
    bool isOpen() const { return open_; }

    // True when writes to this key would be attempted (see above).
    bool canWrite() const;

    // The value's text. REG_SZ and REG_EXPAND_SZ (as stored, nothing
    // expanded) succeed; a missing value succeeds with empty text; any other
    // type, or a closed key, fails and leaves text empty.
    bool readString(const QString& name, QString& text) const;

    // A REG_DWORD value. Fails for a missing value or another type.
    bool readInteger(const QString& name, quint32& value) const;

    // Sets name to a REG_DWORD value, replacing what was there. Fails when
    // writes are refused or the file cannot be replaced.
    bool writeInteger(const QString& name, quint32 value);

    // True when the key has a value called name ("" is the default value).
    bool valueExists(const QString& name) const;

    // The value names in the order the store keeps them ("" for the default).
    QStringList valueNames() const;

    // The sub-key names in the registry's order (sorted without regard to case).
    QStringList subKeyNames() const;

    // The index-th sub-key name; false when there is none (the end of an
    // enumeration from 0 upward).
    bool subKeyName(int index, QString& name) const;

    // Deletes one value. Fails when it does not exist or writes are refused.
    bool deleteValue(const QString& name);

    // Deletes the sub-key relPath of this key with all its sub-keys. Links
    // on the way to it are followed, but a link key named by relPath is
    // deleted itself, never its target, and links below it go with it
    // untouched. Fails when it does not exist or writes are refused.
    bool deleteKey(const QString& relPath);

    // True when the machine's registry is a 64-bit Windows's (its file says
    // "#arch=win64"): 32-bit programs then keep their machine-wide keys below
    // "Software\Wow6432Node".
    static bool machineIs64Bit();

    // The folder the registry files are in (host form): the prefix folder,
    // or on the host the run environment's registry folder, VARNEL_REGISTRY,
    // else $XDG_DATA_HOME/varnel/registry.
    static QByteArray filesFolder();

    // The root whose file holds the key (another than the one opened when a
    // link led there) and the key's path below it, as spelled there.
    RegistryRoot root() const { return root_; }
    QString path() const { return path_; }

private:
    RegistryRoot root_ = RegistryRoot::CurrentUser;
    QString path_;
    bool open_ = false;
    bool readOnly_ = false;
};

} // namespace platform
