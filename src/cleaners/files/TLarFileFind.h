#pragma once
// A recursive file finder: reports every file under a folder that matches a
// mask, a folder's files before those of its sub-folders, hidden and system
// files and folders included. It lets pending messages run before every
// entry of a folder and after every sub-folder entry, so its owner can show
// progress. Links are reported as files and never followed; folders of
// another mount are not entered.

#include "platform/FolderListing.h"

#include <QString>
#include <functional>

class QObject;

using TFindFileEvent = std::function<void(QObject* Sender, const QString& FindFile)>;

class TLarFileFind {
public:
    QString FileMask = QStringLiteral("*.*");
    // Where the search begins; nothing is searched when it is empty.
    QString FilePath;
    bool IncludeSubDirectories = true;
    // End the whole search after the first reported file.
    bool StopOnFirstFind = false;
    // Called once per file with its full path.
    TFindFileEvent OnFind;

    // Searches from FilePath (a backslash appended when missing) and returns
    // when the search has ended. Returns false at once, doing nothing, when
    // this finder is already searching (a handler asked again).
    bool Execute();

    bool Searching() const { return searching_; }

    // The id and size of the file being reported, valid during OnFind.
    const platform::FolderListing::Found& FoundEntry() const { return found_; }

    // Whether the package manager installed the file being reported; asked
    // only when needed, since it costs a look-up. False outside OnFind.
    bool FoundIsPackaged() const;

    // The file being reported looked at once more, relative to the folder
    // the walk holds open (no path resolved again): its id and size now,
    // an unknown id when it vanished. An unknown id outside OnFind.
    platform::FolderListing::Found FoundAgain() const;

private:
    struct Visitor;

    platform::FolderListing::Found found_;
    struct Reporting {
        const platform::FolderListing* listing = nullptr;
        const platform::FolderListing::Entry* entry = nullptr;
    } reporting_;
    bool stop_ = false;
    bool searching_ = false;
};
