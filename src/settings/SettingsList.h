#pragma once
// The two numbered lists of the settings file (user filters and excluded
// folders): Items, then a text key and a state key per entry, numbered
// from 0.

#include "settings/SettingKeys.h"

#include <QList>
#include <QString>

class SettingsTransaction;

enum class SettingsList { Filters, ExcludedDirs };

struct SettingsListEntry {
    QString text;         // the mask or the folder path
    bool checked = false; // its state is exactly "1"
};

inline constexpr int SettingsListCap = SettingKeys::ListCap;

// The list's entries 0 .. Items-1 (at most SettingsListCap of them), read
// from one reading of the file; a missing entry key reads as its default
// (empty text, unchecked). Empty when Items is not a whole number or not
// above 0, or there is no file.
QList<SettingsListEntry> ReadSettingsList(SettingsList list);

// Queues saving entries as the list, first entry as number 0: the section
// cleared, then Items, then each entry's text key and state key.
void WriteSettingsList(SettingsTransaction& transaction, SettingsList list, const QList<SettingsListEntry>& entries);
