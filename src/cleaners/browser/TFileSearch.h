#pragma once
// The engine of the file search component: the filter state and the walk.
//
// The walk is breadth-first: the root, then its sub-folders in listing
// order, then theirs. Each folder is read once; sub-folders are read
// through their parent's open listing, so no link is ever followed and no
// other mounted file system is entered (such a folder is neither walked nor
// reported). A link is an entry of its own: it carries the archive bit, as
// the link file itself does on Windows, and is never walked into.

#include "cleaners/browser/FileSearchTypes.h"
#include "platform/FolderListing.h"

#include <QDate>

class TSearchMask;

class TFileSearch {
public:
    QString Filter = QStringLiteral("*.*");
    QString RootPath = QStringLiteral(".\\");

    bool IncludeSubfolders = false;
    bool LookForReadOnly = false;  // 0x01
    bool LookForHidden = false;    // 0x02
    bool LookForSystem = false;    // 0x04
    bool LookForDirectory = false; // 0x10
    bool LookForArchive = false;   // 0x20
    bool AnyFile = false;

    bool DateFilterOn = false;
    TDateFilterAccessKind DateFilterAccess = dfakAnyFiles;
    TDateFilterKind DateFilterKind = dfkSame;
    QDate FirstDate;
    QDate SecondDate;

    bool SizeFilterOn = false;
    TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
    qint32 SizeFilterSize = 0;

    TOnFileFinded OnFileFinded;
    TOnChangeFolder OnChangeFolder;
    TOnStatistics OnStatistics;

    // The attribute bits the five wishes ask for.
    quint32 WantedAttributes() const;

    // Walks from RootPath. True when every folder could be read; false when
    // the walk stopped at the first folder that could not be (statistics
    // are still reported). Throws EFileSearchError for an invalid Filter
    // (before any event) or an empty RootPath (after its OnChangeFolder).
    bool Execute();

    // The date and size tests on a filled record.
    bool PassesDateFilter(const TFileInformations& info) const;
    bool PassesSizeFilter(const TFileInformations& info) const;

private:
    struct Counters {
        qint32 files = 0;
        qint32 folders = 0;
    };
    struct Visitor;
    // Reads the root and walks from it; false as Execute() says.
    bool walk(const TSearchMask& mask, Counters& counters) const;
    void examine(const platform::FolderListing& listing, const platform::FolderListing::Entry& e, const QString& folder,
                 const TSearchMask& mask, Counters& counters) const;
    bool dateMatches(const QDate& date) const;
};
