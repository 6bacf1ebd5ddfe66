#pragma once
// A walker of folder trees for entries that match wildcard masks. It reports
// each match at once, so its owner can show results while the walk goes on,
// and keeps the program responsive by letting pending messages run before
// each matching entry. One stop request, shared by every walker, ends it.

#include "platform/FolderListing.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "core/TextStore.h"
#include "formats/MaskMatcher.h"

#include <vector>

using TOnFileFoundEvent = std::function<void(const QString& FileName)>;
using TOnReadyEvent = std::function<void(const QStringList& SearchResult)>;
using TOnFolderEvent = std::function<void(const QString& Folder)>;

class TmFileScan {
public:
    // One entry per walk: a folder part and a mask, such as "c:\*.tmp". The
    // folder part runs to the last "\" or ":"; the mask is the rest.
    QStringList SearchFilter;

    // Whether each walk descends into sub-folders.
    bool SubDirectories = true;

    // Called once per match with the entry's folder plus the name. The
    // folder is spelled as the disk spells it, with "." and ".." resolved
    // and links on the way to it resolved, so the path names exactly the
    // entry found and no other. Folders whose name matches are reported
    // like files.
    TOnFileFoundEvent OnFileFound;

    // Called once after a walk with everything it reported, in order. The
    // list belongs to the walker and is valid during the call.
    TOnReadyEvent OnReady;

    // Called as each folder of the walk is read, with its path as the disk
    // spells it (empty while the folder texts are not made): a front end
    // without a message loop shows progress and asks for a stop here, as
    // matches may be far apart. Unset, it costs nothing.
    TOnFolderEvent OnFolder;

    // Whether the walker keeps what it reported for OnReady and Result().
    // An owner that takes every match from OnFileFound turns it off, and
    // a long walk then holds no second list of the paths: OnReady gets an
    // empty list and Result() stays empty.
    bool KeepResult = true;

    // Walks every SearchFilter entry in order, depth-first (a folder's
    // matches before any of its sub-folders), then calls OnReady. Entries
    // in a row that share a folder are read in one walk, their matches
    // reported in the same order as walks of their own. Clears the
    // shared stop request first. Links are never followed and folders of
    // another mount never entered. Returns false at once, doing nothing,
    // when this walker is already walking (a handler that runs nested inside
    // the walk asked again). An exception from a handler leaves Execute
    // without OnReady and without a new result.
    bool Execute();

    // Asks every running walk to end at its next entry; returns at once.
    static void Stop();

    // True while Execute runs.
    bool Walking() const { return walking_; }

    // What the last completed Execute reported.
    const QStringList& Result() const { return result_; }

    // The id and size of the entry being reported, and whether the package
    // manager installed it, valid during OnFileFound: a deletion checks the
    // id to find the very same entry.
    const platform::FolderListing::Found& FoundEntry() const { return found_; }

    // Whether the entry being reported was reported before by this walk of
    // its folder: it matched an earlier mask of the same folder's entries
    // too. Valid during OnFileFound. Walks of other folders that hold the
    // same entry (a temporary folder inside a drive) are not known here.
    bool FoundRepeated() const { return repeated_; }

private:
    struct Match {
        QString path;
        platform::FolderListing::Found entry;
        bool repeated = false; // an earlier mask of the walk matched it too
    };
    // A match kept for later, its path in the walk's text store: a long
    // list of them costs the paths' characters, not an allocation each.
    struct Deferred {
        core::TextStore::Ref path;
        bool repeated = false;
        platform::FolderListing::Found entry;
    };
    // One walk for the masks of filter entries that share a folder: the
    // first mask's matches are reported as they are met, the others' kept
    // in order and reported after it, as separate walks would have.
    struct Walk {
        std::vector<formats::MaskMatcher> masks;
        // Deques, emptied as they are reported: a long list of deferred
        // matches never stands doubled by a vector's growth, nor beside
        // the rows made from it.
        std::vector<std::deque<Deferred>> later;
        core::TextStore paths;
    };

    void walkGroup(const QStringList& entries, QStringList& found);
    struct Visitor;
    void walkFolder(platform::FolderListing listing, const QString& folder, Walk& walk, QStringList& found);
    void report(const QString& path, const platform::FolderListing::Found& entry, QStringList& found,
                bool repeated = false);

    bool walking_ = false;
    platform::FolderListing::Found found_;
    bool repeated_ = false;
    QStringList result_;
};
