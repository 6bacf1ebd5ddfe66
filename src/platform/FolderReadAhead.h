#pragma once
// Readers that go ahead of a depth-first walk (walkFolders) on a few threads
// of their own, so that the walk, which stays on its own thread and keeps
// its order, finds the folders it enters next already in the kernel's
// caches. A cleaner runs once in a while, so its walks nearly always start
// with the tree's metadata on disk: one thread waits for one folder at a
// time, while several outstanding reads let the disk serve them together.
//
// The readers change nothing and report nothing: they read each folder as
// the walk would (FolderListing::readChild from a listing of its parent: no
// link, no other mount, nothing withheld is looked at) and hand their
// listing to the walk when it gets there (take), so no folder is read
// twice; and they
// fetch the metadata of the listed entries whose kind of name the walk has
// looked at one by one (FolderListing::lookedAt: a junk search's matches, one
// file of each folder an empty-folder search may judge (firstFileToLookAt),
// every file of a zero-byte search). They stay at most a bounded number of
// folders ahead of the walk, in its order, drop what the walk has passed or
// declined to enter, and stop when the walk stops.
//
// The readers start only once the walk's own folder reads turn out slow
// for want of the disk (the thread's block reads grew meanwhile, so a busy
// machine that merely put the walk off starts none): a walk over a tree
// already in memory pays two clock readings per folder and starts no thread.
// A reader that keeps finding folders in memory quits; once all have, the
// walk goes on alone and may start readers anew.
//
// The walk owns its FolderReadAhead and calls it from its own thread only.
// Positions are the indices of the entries entered, from the root's listing
// down: {} is the root, {3} its fourth entry, {3, 0} that one's first.

#include "platform/FolderListing.h"

#include <QByteArray>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace platform {

class FolderReadAhead {
public:
    FolderReadAhead();
    // Stops the readers and waits for them: at most one folder read each.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // Marks the start of one folder read by the walk.
    void reading() { readStart_ = std::chrono::steady_clock::now(); }

    // The walk has read folder, at position. True when the readers should
    // start now (the walk's reads turned out slow): the walk then calls
    // start(). While they run, lets them drop what the walk has passed.
    bool read(std::span<const quint32> position, const FolderListing& folder);

    // Starts the readers at the walk's folder at position, the last of path
    // (the listings from the root down to it, owned by the walk and used
    // during the call only: the readers keep copies with handles of their
    // own). Does nothing when they run already or no thread can be made.
    void start(std::span<const quint32> position, std::span<const FolderListing* const> path);

    // The walk enters the sub-folder entry, at index of parent, the folder
    // at position. When the readers have read it from the same folder text,
    // child becomes a copy of their listing with a handle of its own and
    // the answer is true: the walk need not read it again. False, child
    // untouched, when the walk must read it itself (not read yet, read
    // under another name, or no handle to be had).
    bool take(std::span<const quint32> position, quint32 index, const FolderListing& parent,
              const FolderListing::Entry& entry, FolderListing& child);

    // The walk will not enter the entry index of the folder at position,
    // though it is a folder: the readers leave that sub-tree alone.
    void declined(std::span<const quint32> position, quint32 index);

    // The file (any entry but a folder) of folder that a walk wanting one
    // look at a file looks at first, and the readers fetch: the one whose
    // inode number lies nearest the folder's own, the first in name order
    // among equals or when the folder's is unknown. A file system puts a
    // folder's files near it, and its inode was read to open it, so this
    // one is the most likely to be in memory already; the first by name
    // often lies elsewhere and costs a disk read of its own. Null when the
    // folder holds only folders.
    static const FolderListing::Entry* firstFileToLookAt(const FolderListing& folder);

    // True while reader threads run for this walk.
    bool running() const { return state_ != nullptr; }

    // How the readers work; tests set smaller figures and an at-once start
    // (testseams::setReadAheadTuning).
    struct Tuning {
        int readers = 4;          // threads
        int lead = 256;           // folders read ahead of the walk, at most
        bool startAtOnce = false; // start at the walk's first folder and go on, slow or not
    };

private:
    struct State;
    bool slowSoFar(std::chrono::steady_clock::duration took, size_t entries);

    std::chrono::steady_clock::time_point readStart_;
    quint64 slowReads_ = 0; // one bit per recent read of the walk, set when it was slow
    std::unique_ptr<State> state_;
};

} // namespace platform
