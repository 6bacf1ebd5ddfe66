#pragma once
// What the junk-file search reads from the settings and how it judges the
// files it found: the walker's filter, the masks, and the rows that must
// never be deleted. Each function reads the settings it needs at the moment
// it runs, so a change saved in the options dialog counts at once.

#include "platform/EntryId.h"
#include "platform/FolderListing.h"
#include "core/CleanOutcome.h"
#include "core/Disposal.h"

#include <QSet>
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

// One row of the found list.
struct FoundRow {
    QString caption; // the path, behind the skip marker when protected
    quint64 size = 0;
    platform::EntryId id;
};

// The entries one search has listed so far.
using ListedIds = QSet<platform::EntryId>;

// The row for a walker's match, from its own look at the entry: what the
// package manager installed is marked at once. nullopt for a match that is
// no row: one of a filter entry without a drive (it has no drive letter),
// or an entry already in listed. A temporary file in the temporary folder
// is matched by the drive's masks and by the folder's own entry; listed
// twice, its second row would fail to delete what the first had deleted.
std::optional<FoundRow> RowFor(const QString& fileName, const platform::FolderListing::Found& entry, ListedIds& listed);

// Why a row is protected: the first rule that marked it.
enum class Protection { None, Packaged, SystemFolder, ExcludedFolder };

// A few words on a protection, for the command line; empty for None.
QString ProtectionReason(Protection why);

// Marks captions as MarkSystemFiles and then MarkExcludedDirs do, and says
// for each caption which rule marked it first (a caption that came marked
// counts as Packaged).
QList<Protection> MarkProtected(QStringList& captions);

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

// Marks, when Delete/InSysFolders is "Yes", the captions of files directly in
// "c:\" and those in the System folders (twice when both hold). Where the
// program has no Windows folder (platform::HostSystemFolders), the host's
// system folders take the System folders' place, compared as host paths,
// and a caption is marked once when either rule holds (never one that came
// marked).
void MarkSystemFiles(QStringList& captions);

// Marks the captions that begin with an enabled excluded folder's path
// (without regard to case). An empty path marks every caption. The list is
// read in one go and never beyond its first 10 000 entries.
void MarkExcludedDirs(QStringList& captions);

// Deletes one found file into the trash or for good, as Delete/Recycle says
// at this moment. Returns whether the shell's delete succeeded.
bool DeleteFoundFile(const QString& path, const platform::EntryId& listed = {});

// How the rows go: as Delete/Recycle says at this moment, or as the caller
// insists.
enum class RowDisposal { AsSettingsSay, Recycle, Erase };

// Deletes the row's file unless its caption is marked, by the id it was
// listed with. Skipped for a marked row (its path without the marker),
// else Deleted or Failed with the shell's code and reason.
CleanOutcome DeleteRow(const QString& caption, const platform::EntryId& listed,
                       RowDisposal how = RowDisposal::AsSettingsSay);

} // namespace JunkSearch
