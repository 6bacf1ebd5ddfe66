#pragma once
// Every key of the settings file, once: its section, its name and the value
// a reader takes when the file lacks it. Readers and writers name a key
// from here, so a section, a spelling or a default cannot drift apart.

struct SettingKey {
    const char* section;
    const char* key;
    const char* def;
};

// A switch, "Yes" or "No": read it with ReadSwitch, so that what counts as
// on is decided in one place.
struct SwitchKey : SettingKey {};

// A whole number: read it with ReadNumber and write it with WriteNumber, so
// that what counts as a number is decided in one place.
struct NumberKey : SettingKey {};

namespace SettingKeys {

// What the junk search looks for. Disk is "All" or a drive's position in
// the list, so it is read as text.
inline constexpr SettingKey Disk{"Search", "Disk", "All"};
inline constexpr SwitchKey TempFolders{{"Search", "TempFolders", "Yes"}};
inline constexpr SwitchKey TempFiles{{"Search", "TempFiles", "Yes"}};
inline constexpr SwitchKey BAKFiles{{"Search", "BAKFiles", "Yes"}};
inline constexpr SwitchKey OLDFiles{{"Search", "OLDFiles", "No"}};
inline constexpr SwitchKey GIDFiles{{"Search", "GIDFiles", "No"}};
inline constexpr SwitchKey CustomFiles{{"Search", "CustomFiles", "Yes"}};
inline constexpr SwitchKey AutoStart{{"Search", "AutoStart", "No"}};

// How found files are deleted.
inline constexpr SwitchKey Recycle{{"Delete", "Recycle", "Yes"}};
inline constexpr SwitchKey InSysFolders{{"Delete", "InSysFolders", "No"}};

// The main window's look.
inline constexpr SwitchKey XPMenu{{"View", "XPMenu", "Yes"}};
inline constexpr SwitchKey Separators{{"View", "Separators", "No"}};

// The main window's geometry, written on close and applied on show.
inline constexpr NumberKey WindowTop{{"Window", "Top", "10"}};
inline constexpr NumberKey WindowLeft{{"Window", "Left", "10"}};
inline constexpr NumberKey WindowHeight{{"Window", "Height", "400"}};
inline constexpr NumberKey WindowWidth{{"Window", "Width", "600"}};
inline constexpr NumberKey FirstColumn{{"Window", "FColumn", "135"}};

// Every single key above, for checks that must cover them all.
inline constexpr SettingKey All[] = {Disk,        TempFolders, TempFiles,    BAKFiles,     OLDFiles,   GIDFiles,
                                     CustomFiles, AutoStart,   Recycle,      InSysFolders, XPMenu,     Separators,
                                     WindowTop,   WindowLeft,  WindowHeight, WindowWidth,  FirstColumn};

// The two numbered lists: a count, then per entry a text key and a state
// key with the entry's number appended (Filter0, StateFilter0, ...).
struct SettingListKeys {
    const char* section;
    const char* text;
    const char* state;
};
inline constexpr const char* ListItems = "Items"; // the count, default "0"
inline constexpr SettingListKeys Filters{"CFilters", "Filter", "StateFilter"};
inline constexpr SettingListKeys ExcludedDirs{"ExDirs", "Dir", "State"};

// The most entries a list read returns, whatever Items says: a hand-edited
// count of millions must not freeze a search or the options dialog.
inline constexpr int ListCap = 10000;

} // namespace SettingKeys
