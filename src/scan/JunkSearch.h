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

// Put in front of a row caption to protect the file from deletion.
inline const QString SkipMarker = QStringLiteral("[[-]] ");

// True when caption carries the skip marker.
bool IsMarked(const QString& caption);

// The drive prefixes ("c:") to search, from Search/Disk and the items of the
// drive box (each "c: label"): every drive for "All", else the one at that
// position ("" for a position outside the box). nullopt, with the offending
// text in badValue, when Disk is neither "All" nor a whole number.
std::optional<QStringList> SelectedDrives(const QStringList& driveItems, QString* badValue = nullptr);

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
// the last drive's masks first and the temporary folders last.
QStringList BuildWalkerFilter(const QStringList& drives, const QStringList& masks);

// True when the folder part of path lies in the Windows System folder (or
// System32, or any folder whose name begins with "System" there).
bool IsInSystemFolder(const QString& path);

// Marks, when Delete/InSysFolders is "Yes", the captions of files directly in
// "c:\" and those in the System folders (twice when both hold).
void MarkSystemFiles(QStringList& captions);

// Marks the captions that begin with an enabled excluded folder's path
// (without regard to case). An empty path marks every caption. The list is
// read in one go and never beyond its first 10 000 entries.
void MarkExcludedDirs(QStringList& captions);

// Deletes one found file into the trash or for good, as Delete/Recycle says
// at this moment. Returns whether the shell's delete succeeded.
bool DeleteFoundFile(const QString& path, const platform::EntryId& listed = {});

} // namespace JunkSearch
