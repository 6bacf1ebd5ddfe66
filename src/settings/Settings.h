#pragma once
// The settings file varnel.ini beside the program. Every call opens the
// file, does one thing and lets go of it: nothing is cached, so a value
// saved by the options dialog counts from its next reading on.

#include "settings/SettingKeys.h"

#include <QString>
#include <functional>
#include <optional>

// The settings file's path in Windows form (program folder + "varnel.ini").
QString SettingsFileName();

// False when a settings file is there but cannot be read (every setting
// would silently take its default): a front end without a window refuses
// to work on such settings.
bool SettingsReadable();

// The value of key in section, at most 2047 characters; def, trailing blanks
// removed, when the file, the section or the key is missing. Names match
// without regard to case.
QString ReadSetting(const QString& section, const QString& key, const QString& def);

// The value of k, its default when missing.
QString ReadSetting(const SettingKey& k);

// Whether the switch k is on: only for exactly "Yes" (IsSwitchOn), read
// from its default when the key is missing.
bool ReadSwitch(const SwitchKey& k);

// The number k holds, by TryStrToInt's rules, its default when missing.
// nullopt when the value is no number: what that means is the reader's to
// say (the main window keeps its designed geometry, for one).
std::optional<int> ReadNumber(const NumberKey& k);

// Stores value in decimal under k, as WriteSetting does.
bool WriteNumber(const NumberKey& k, int value);

// The numbered lists (Filters, ExcludedDirs) are read and written whole
// through SettingsList.h.

// Stores value under section/key, creating the file, the section (at the
// end of the file) or the key (at the end of its section) as needed. The
// file is replaced atomically. Returns false when it could not be written;
// callers carry on, and the failure handler (below) tells the user.
bool WriteSetting(const QString& section, const QString& key, const QString& value);

bool WriteSetting(const SettingKey& k, const QString& value);

// Removes section with all its keys (comment lines in it stay). Returns
// false when the file could not be changed.
bool ClearSettingsSection(const QString& section);

// What the program does when the settings file cannot be written: the
// handler gets the file's path (Windows form) at the first failed write
// after it is installed and not again in this process, since one cause (a
// program folder that is not writable) would otherwise be told once for
// every key a window saves. Installing a handler arms it anew; an empty
// one tells nothing (the default, so tools and tests stay quiet).
using SettingsWriteFailureHandler = std::function<void(const QString& file)>;
void SetSettingsWriteFailureHandler(SettingsWriteFailureHandler handler);

// Passes ok on; a false is told through the failure handler. Every write of
// the settings file hands its result through here.
bool NoteSettingsWrite(bool ok);

// Deletes the new files that saves of the settings file left behind when the
// program was killed mid-save (only ours, and only ones no save is still
// writing). Called once at start. Returns how many were deleted.
int RemoveStaleSettingsFiles();

// The on/off readings every consumer shares: a switch is on only for
// exactly "Yes", a state only for exactly "1".
inline bool IsSwitchOn(const QString& value)
{
    return value == u"Yes";
}
inline bool IsStateOn(const QString& value)
{
    return value == u"1";
}
inline QString SwitchText(bool on)
{
    return on ? QStringLiteral("Yes") : QStringLiteral("No");
}
inline QString StateText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Reads text as a whole number the way the settings' readers always have:
// leading blanks and a sign allowed, "$" or "0x" for hexadecimal, nothing
// after the digits, within 32 bits. Returns false when it is not one.
bool TryStrToInt(const QString& text, int& value);

// The message shown when a number is expected and text is none.
QString InvalidIntegerMessage(const QString& text);
