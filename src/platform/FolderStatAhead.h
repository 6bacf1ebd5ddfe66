#pragma once
// A second thread that looks at the entries of the folder a depth-first
// walk (walkFolders) is visiting, from the folder's last entry back, while
// the walk looks at them from its first: on a tree in memory a walk spends
// most of its time in one stat per entry, and a machine has a second core.
// Where the two meet, each entry has been looked at once.
//
// It looks only at entries other than folders whose kind of name the walk's
// own thread has looked at one by one (FolderListing::lookedAt), with the
// very call the walk would make (relative to the folder's open handle, no
// link followed), and keeps the answer in a slot per entry. The walk's
// FolderListing::statOf() takes an answer from its slot once; a second
// question about the same entry is asked of the file system again, so a
// walker's second look stays a look of its own. Nothing else is read,
// nothing changes.
//
// The walk owns its FolderStatAhead and calls it from its own thread only.
// The thread starts at the first folder worth it and ends with the object.

#include "platform/FolderListing.h"

#include <QtGlobal>
#include <atomic>
#include <memory>

namespace platform {

// One entry's answer. The walk's thread and the helper hand it over with
// `state` alone: free, taken by the helper, answered, or the walk's own.
struct StatAheadSlot {
    enum : quint8 { Free, Busy, Done, Walks };
    std::atomic<quint8> state{Free};
    bool valid = false; // the helper's look succeeded
    FolderListing::Found found;

    // Called by the walk's thread: the helper's answer when there is one,
    // else nullptr (the walk looks itself). Either way the slot is the
    // walk's afterwards.
    const FolderListing::Found* take();
};

class FolderStatAhead {
public:
    FolderStatAhead();
    // Waits for the helper to leave the folder it is in (at most one stat)
    // and ends it.
    ~FolderStatAhead();
    FolderStatAhead(const FolderStatAhead&) = delete;
    FolderStatAhead& operator=(const FolderStatAhead&) = delete;

    // The walk is about to visit listing's entries: hands them to the helper
    // when there are enough of the kinds the walk looks at. Any earlier
    // folder must have been given back (giveBack) first.
    void offer(FolderListing& listing);

    // The walk has visited the entries of the folder it offered last: the
    // helper stops there and the listing's answers go. Does not wait.
    void giveBack(FolderListing& listing);

    // Waits until the helper has left every folder offered: before the
    // walk lets go of a listing it offered.
    void settle();

    // True when the thread could be made (for tests).
    bool running() const { return thread_ != nullptr; }

private:
    struct Thread;
    std::unique_ptr<Thread> thread_;
    bool failed_ = false; // no thread could be made: the walk looks alone
    std::unique_ptr<StatAheadSlot[]> slots_;
    size_t capacity_ = 0;
};

} // namespace platform
