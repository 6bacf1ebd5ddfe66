#include "settings/SettingsTransaction.h"

#include "platform/PathMapper.h"
#include "settings/Settings.h"

void SettingsTransaction::write(const QString& section, const QString& key, const QString& value)
{
    batch_.writeString(section, key, value);
}

void SettingsTransaction::write(const SettingKey& k, const QString& value)
{
    write(QLatin1String(k.section), QLatin1String(k.key), value);
}

void SettingsTransaction::writeSwitch(const SwitchKey& k, bool on)
{
    write(k, SwitchText(on));
}

void SettingsTransaction::clearSection(const QString& section)
{
    batch_.removeSection(section);
}

bool SettingsTransaction::commit()
{
    return NoteSettingsWrite(batch_.commit(platform::PathMapper::toHost(SettingsFileName())));
}
