#pragma once
// The two numbered lists of the settings file (user filters and excluded
// folders): Items, then a text key and a state key per entry, numbered
// from 0.

class CheckListBox;

enum class SettingsList { Filters, ExcludedDirs };

// Loads the list into box: each entry inserted at the top (so the box shows
// them in reverse order), checked when its state is "1". A count that is no
// number loads nothing.
void LoadSettingsList(SettingsList list, CheckListBox& box);

// Saves box top to bottom as entries 0, 1, ...: the section is cleared,
// then Items and the entries written. When the section cannot be cleared
// nothing more of this list is written.
void SaveSettingsList(SettingsList list, const CheckListBox& box);
