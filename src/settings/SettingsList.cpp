#include "settings/SettingsList.h"

#include "platform/PathMapper.h"
#include "platform/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/SettingsTransaction.h"

using platform::ProfileFile;

namespace {

struct Keys {
    QString section, text, state;
};

Keys keysOf(SettingsList list)
{
    const SettingKeys::SettingListKeys& k = list == SettingsList::Filters ? SettingKeys::Filters
                                                                          : SettingKeys::ExcludedDirs;
    return {QLatin1String(k.section), QLatin1String(k.text), QLatin1String(k.state)};
}

} // namespace

QList<SettingsListEntry> ReadSettingsList(SettingsList list)
{
    const Keys k = keysOf(list);
    formats::IniDocument doc;
    ProfileFile::load(platform::PathMapper::toHost(SettingsFileName()), doc);
    int count = 0;
    if (!TryStrToInt(
            ProfileFile::readString(doc, k.section, QLatin1String(SettingKeys::ListItems), QStringLiteral("0")), count))
        return {};
    QList<SettingsListEntry> entries;
    entries.reserve(qBound(0, count, SettingsListCap));
    for (int n = 0; n < qMin(count, SettingsListCap); ++n) {
        const QString number = QString::number(n);
        entries.append({ProfileFile::readString(doc, k.section, k.text + number, QString()),
                        IsStateOn(ProfileFile::readString(doc, k.section, k.state + number, QStringLiteral("0")))});
    }
    return entries;
}

void WriteSettingsList(SettingsTransaction& transaction, SettingsList list, const QList<SettingsListEntry>& entries)
{
    const Keys k = keysOf(list);
    transaction.clearSection(k.section);
    transaction.write(k.section, QLatin1String(SettingKeys::ListItems), QString::number(entries.size()));
    for (qsizetype n = 0; n < entries.size(); ++n) {
        const QString number = QString::number(n);
        transaction.write(k.section, k.text + number, entries[n].text);
        transaction.write(k.section, k.state + number, StateText(entries[n].checked));
    }
}
