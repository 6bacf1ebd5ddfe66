#pragma once
// What the junk-file search reads from the settings and how it judges the
// files it found: the walker's filter, the masks, and the rows that must
// never be deleted. Each function reads the settings it needs at the moment
// it runs, so a change saved in the options dialog counts at once.

#include "platform/EntryId.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace JunkSearch {

// What the found list shows in front of a protected file's path, once for
// each rule that protects it.
inline const QString SkipMarker = QStringLiteral("[[-]] ");

// The drive prefixes ("c:") to search, from Search/Disk and the items of the
// drive box (each "c: label"): every drive for "All", else the one at that
// position ("" for a position outside the box). nullopt, with the offending
// text in badValue, when Disk is neither "All" nor a whole number.
std::optional<QStringList> SelectedDrives(const QStringList& driveItems, QString* badValue = nullptr);

// What a search walks: the drives, the masks, and the walker's filter made
// of them, all from the settings of this moment.
struct SearchPlan {
    QStringList drives;
    QStringList masks;
    QStringList filter;
    QStringList temporaryFolders; // the temporary folders the walk empties (TemporaryFolders)
    QStringList refusedFolders;   // temporary folders left out: where they lie is not for the search to empty
};

// The plan for the drive box's items (as SelectedDrives takes them);
// nullopt, with the offending text in badValue, when Disk is no number.
std::optional<SearchPlan> PlanSearch(const QStringList& driveItems, QString* badValue = nullptr);

// The plan for these drives ("c:"), whatever Search/Disk says.
SearchPlan PlanSearchOn(const QStringList& drives);

// The temporary folders a search empties (when TempFolders is on), as
// BuildWalkerFilter takes them: the Windows folder's Temp, then the
// temporary folder, each only while FolderCheck lets it be emptied.
QStringList TemporaryFolders(QStringList* refused = nullptr);

// Inserts the enabled user filters of CFilters in front of masks, each new
// one first. A count that is not a number ends the loading silently; the
// list is read in one go and never beyond its first 10 000 entries.
void LoadCustomFilters(QStringList& masks);

// The mask list of the current settings: the user filters (when
// CustomFiles is on), then "*.temp" and "*.tmp", "*.bak", "*.old", "*.gid"
// as their switches say, each insertion going to the front.
QStringList BuildMaskList();

// The walker's filter: the temporary folders (when TempFolders is on), then
// drive x mask entries, each insertion going to the front; so the walk runs
// the last drive's masks first and the temporary folders last. A temporary
// folder that may not be emptied is left out, and named in refused.
QStringList BuildWalkerFilter(const QStringList& drives, const QStringList& masks, QStringList* refused = nullptr);

// True when the folder part of path lies in the Windows System folder (or
// System32, or any folder whose name begins with "System" there).
bool IsInSystemFolder(const QString& path);

// Deletes one found file into the trash or for good, as Delete/Recycle says
// at this moment, by the id it was listed with. Returns whether the shell's
// delete succeeded.
bool DeleteFoundFile(const QString& path, const platform::EntryId& listed = {});

} // namespace JunkSearch
