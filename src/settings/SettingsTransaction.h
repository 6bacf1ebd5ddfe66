#pragma once
// Several changes of the settings file made as one: the options dialog's
// Apply collects every key and both lists here and commits them together,
// so a crash or a kill during Apply leaves the file as it was before or as
// it is after, never with a list cut short.

#include "platform/ProfileBatch.h"
#include "settings/SettingKeys.h"

#include <QString>

class SettingsTransaction {
public:
    // Queues what WriteSetting(section, key, value) would do.
    void write(const QString& section, const QString& key, const QString& value);
    void write(const SettingKey& k, const QString& value);

    // Queues the switch k as "Yes" or "No".
    void writeSwitch(const SwitchKey& k, bool on);

    // Queues what ClearSettingsSection(section) would do.
    void clearSection(const QString& section);

    // Makes every queued change, in the order queued, in one atomic
    // replacement of the settings file. Returns false when the file could
    // not be read or written (it is then unchanged); callers carry on, and
    // the settings' failure handler tells the user, as for single writes.
    bool commit();

private:
    platform::ProfileBatch batch_;
};
