#include "cleaners/traces/RegistryViews.h"

#include "platform/RegistryKey.h"

QList<bool> RegistryViews::machine()
{
    if (platform::RegistryKey::machineIs64Bit())
        return {false, true};
    return {false};
}

QString RegistryViews::path(const QString& softwarePath, bool view32)
{
    if (!view32)
        return softwarePath;
    const qsizetype cut = softwarePath.indexOf(u'\\') + 1;
    return softwarePath.left(cut) + QStringLiteral("Wow6432Node\\") + softwarePath.mid(cut);
}
