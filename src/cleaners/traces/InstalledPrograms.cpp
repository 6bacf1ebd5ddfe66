#include "cleaners/traces/InstalledPrograms.h"

#include "cleaners/traces/RegistryViews.h"
#include "platform/RegistryKey.h"

using platform::RegistryKey;
using platform::RegistryRoot;

namespace InstalledPrograms {

QString uninstallPath(bool view32)
{
    return RegistryViews::path(QLatin1String(UninstallKey), view32);
}

namespace {

std::optional<QStringList> entriesOf(const QString& uninstallPath)
{
    RegistryKey uninstall;
    if (!uninstall.open(RegistryRoot::LocalMachine, uninstallPath, false))
        return std::nullopt;
    QStringList names;
    for (const QString& name : uninstall.subKeyNames()) {
        if (name.size() > 1000)
            break; // the enumeration's name buffer ends it here
        names.append(name);
    }
    return names;
}

InstalledProgram read(const QString& uninstallPath, const QString& subKey, bool view32)
{
    InstalledProgram program{subKey, uninstallPath + u'\\' + subKey, {}, view32, {}};
    RegistryKey key;
    if (!key.open(RegistryRoot::LocalMachine, program.keyPath, false)
        || !key.readString(QStringLiteral("DisplayName"), program.displayName)) {
        program.displayName.clear();
        return program;
    }
    for (const QString& value : key.valueNames()) {
        QString data;
        if (key.readString(value, data))
            program.values.append({value, data});
    }
    return program;
}

} // namespace

std::optional<QList<InstalledProgram>> list()
{
    std::optional<QList<InstalledProgram>> programs;
    for (const bool view32 : RegistryViews::machine()) {
        const QString path = uninstallPath(view32);
        const std::optional<QStringList> names = entriesOf(path);
        if (!names)
            continue;
        if (!programs)
            programs.emplace();
        for (const QString& name : *names)
            programs->append(read(path, name, view32));
    }
    return programs;
}

bool remove(const QString& keyPath)
{
    RegistryKey machine;
    return machine.open(RegistryRoot::LocalMachine, QString(), false) && machine.deleteKey(keyPath);
}

} // namespace InstalledPrograms
