#include "cleaners/traces/AutorunEntries.h"

#include "cleaners/traces/RegistryViews.h"

#include <iterator>

using platform::RegistryKey;
using platform::RegistryRoot;

namespace {

struct Place {
    const char* shown;
    const char* shortName;
    RegistryRoot root;
    const char* path;
    bool view32 = false;
};

const Place kPlaces[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"},
    {"HKEY_LOCAL_MACHINE", "HKLM", RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\",
     true},
    {"HKEY_CURRENT_USER", "HKCU", RegistryRoot::CurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"},
    {"HKEY_USERS", "HKU", RegistryRoot::Users, ".DEFAULT\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"},
};

// The place's key as its view sees it.
QString keyOf(const Place& place)
{
    return RegistryViews::path(QLatin1String(place.path), place.view32);
}

} // namespace

QList<AutorunEntry> AutorunEntries::list()
{
    QList<AutorunEntry> entries;
    const bool has32 = RegistryViews::machine().contains(true);
    for (int i = 0; i < int(std::size(kPlaces)); ++i) {
        const Place& place = kPlaces[i];
        RegistryKey key;
        if ((place.view32 && !has32) || !key.open(place.root, keyOf(place), false))
            continue;
        for (const QString& name : key.valueNames()) {
            QString command;
            if (key.readString(name, command))
                entries.append({i, QLatin1String(place.shown), name, command, place.view32});
        }
    }
    return entries;
}

QString AutorunEntries::shortRoot(const AutorunEntry& entry)
{
    return QLatin1String(kPlaces[entry.place].shortName);
}

bool AutorunEntries::remove(const AutorunEntry& entry)
{
    if (entry.place < 0 || entry.place >= int(std::size(kPlaces)))
        return false;
    const Place& place = kPlaces[entry.place];
    RegistryKey key;
    if (!key.open(place.root, keyOf(place), true))
        return false;
    key.deleteValue(entry.name);
    return !key.valueExists(entry.name);
}
