#include "settings/Settings.h"

#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/ProfileFile.h"

using platform::PathMapper;
using platform::ProfileFile;

QString SettingsFileName()
{
    return platform::KnownFolders::appDir() + QStringLiteral("varnel.ini");
}

QString ReadSetting(const QString& section, const QString& key, const QString& def)
{
    return ProfileFile::readString(PathMapper::toHost(SettingsFileName()), section, key, def);
}

bool WriteSetting(const QString& section, const QString& key, const QString& value)
{
    return ProfileFile::writeString(PathMapper::toHost(SettingsFileName()), section, key, value);
}

bool ClearSettingsSection(const QString& section)
{
    return ProfileFile::removeSection(PathMapper::toHost(SettingsFileName()), section);
}
