#include "settings/SettingsList.h"

#include "settings/Settings.h"
#include "widgets/CheckListBox.h"

namespace {

struct Keys {
    QString section, text, state;
};

Keys keysOf(SettingsList list)
{
    if (list == SettingsList::Filters)
        return {QStringLiteral("CFilters"), QStringLiteral("Filter"), QStringLiteral("StateFilter")};
    return {QStringLiteral("ExDirs"), QStringLiteral("Dir"), QStringLiteral("State")};
}

// Each entry costs two readings of the file; a hand-edited count of
// millions would hang the dialog, and no list was ever that long.
constexpr int kMostEntries = 10000;

} // namespace

void LoadSettingsList(SettingsList list, CheckListBox& box)
{
    const Keys k = keysOf(list);
    int count = 0;
    if (!TryStrToInt(ReadSetting(k.section, QStringLiteral("Items"), QStringLiteral("0")), count))
        return;
    for (int n = 0; n < qMin(count, kMostEntries); ++n) {
        const QString number = QString::number(n);
        const QString text = ReadSetting(k.section, k.text + number, QString());
        box.insertTop(text, IsStateOn(ReadSetting(k.section, k.state + number, QStringLiteral("0"))));
    }
}

void SaveSettingsList(SettingsList list, const CheckListBox& box)
{
    const Keys k = keysOf(list);
    if (!ClearSettingsSection(k.section))
        return;
    const QStringList texts = box.texts();
    WriteSetting(k.section, QStringLiteral("Items"), QString::number(texts.size()));
    for (int n = 0; n < texts.size(); ++n) {
        const QString number = QString::number(n);
        WriteSetting(k.section, k.text + number, texts.at(n));
        WriteSetting(k.section, k.state + number, StateText(box.isChecked(n)));
    }
}
