#pragma once
// The one depth-first walk of a folder tree that the program's walkers
// share. Each sub-folder is read relative to its parent's open handle
// (FolderListing::readChild), so no link is followed, nothing swapped into
// a parent redirects the walk and no other mount is entered. The walk keeps
// its own stack instead of recursing: a tree thousands of levels deep costs
// heap, not the thread's stack.
//
// A walker configures the walk with a visitor: a class derived from
// FolderWalkVisitor that shadows the hooks it needs. For each folder, with
// its entries in name order, the walk makes two passes:
//
//   1. visit(listing, entry, folder) for every entry: the walker's look at
//      what the folder holds, before any sub-folder (pre-order).
//   2. descend(listing, entry, folder) for every entry, which answers
//        Enter  enter the entry when it is a folder, then call after();
//        Pass   do not enter it, call after() at once;
//        Skip   neither enter it nor call after() (the skip rule);
//      and after(listing, entry, folder) once the entry's turn is over,
//      for a folder once its whole sub-tree has been walked (post-order).
//
// A sub-folder that cannot be read (gone, refused, no longer a folder, the
// root of another mount) goes to unreadable(child, listing, entry, folder),
// with child's lastError() telling why; after() follows unless it stops.
//
// Each folder read, the root's included, goes to opened(listing, folder)
// before its entries do: the walker's look at the folder as a whole (such
// as whether entries were withheld from it).
//
// Any hook that answers Stop ends the whole walk at once. The walk itself
// lets no messages run: the hooks are the walkers' pump points, so each
// walker keeps the places where its owner can repaint or ask it to stop.
// A hook may throw; the walk then ends and releases every handle it holds.
//
// walkFoldersBreadthFirst() walks the same tree level by level instead:
// the root's entries, then those of each sub-folder in the order they were
// met, then theirs. For each entry of a folder descend() comes first, and
// Enter queues a sub-folder entry for its turn; then visit(). When a
// queued folder's turn comes, arrive(text) is asked first, then it is
// read, or goes to unreadable() as above. after() is not called. A folder
// waiting its turn keeps its parent's listing but not the parent's handle:
// when the turn of the parent's sub-folders comes, the parent is opened
// again from the root's handle (FolderListing::reopenBelow: no link, no
// other mount, the very folder read or nothing), so a tree thousands of
// folders wide holds a few handles, not one per waiting parent.
//
// A depth-first walk over a tree whose folders turn out slow to read (out
// of the kernel's caches) has a few reader threads go ahead of it
// (FolderReadAhead) and hand it the listings they read, which the walk then
// need not read again; while the walk visits a folder's entries a second
// thread looks at them from the folder's other end (FolderStatAhead). The
// order of the hooks, the thread they run on and what the walk sees stay as
// they are.
//
// `folder` is the text of the folder being walked, as the walker spells it:
// the root's text is passed to walkFolders(), a sub-folder's is made by the
// visitor's childFolder() (by default the parent's text, the name and a
// backslash).

#include "platform/Diagnostics.h"
#include "platform/FolderListing.h"
#include "platform/FolderReadAhead.h"
#include "platform/FolderStatAhead.h"

#include <QString>
#include <QStringView>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

enum class WalkStep { Enter, Pass, Skip, Stop };

struct FolderWalkVisitor {
    using Entry = FolderListing::Entry;

    WalkStep opened(const FolderListing&, const QString&) { return WalkStep::Pass; }
    WalkStep visit(const FolderListing&, const Entry&, const QString&) { return WalkStep::Pass; }
    WalkStep descend(const FolderListing&, const Entry& e, const QString&)
    {
        return e.isDirectory ? WalkStep::Enter : WalkStep::Skip;
    }
    WalkStep after(const FolderListing&, const Entry&, const QString&) { return WalkStep::Pass; }
    WalkStep unreadable(const FolderListing&, const FolderListing&, const Entry&, const QString&)
    {
        return WalkStep::Pass;
    }
    WalkStep arrive(const QString&) { return WalkStep::Pass; }
    QString childFolder(const QString& folder, QStringView name) const
    {
        QString text;
        text.reserve(folder.size() + name.size() + 1);
        return text.append(folder).append(name).append(u'\\');
    }
};

namespace detail {

struct WalkFrame {
    FolderListing listing;
    QString folder;
    size_t next = 0;      // the entry whose turn in the second pass comes next
    bool inChild = false; // the entry before next is being walked
};

// Tells the diagnostics of a sub-folder the walk could not read.
inline void noteUnreadable(const FolderListing& parent, const FolderListing::Entry& entry, const FolderListing& child)
{
    qCInfo(lcWalk, "cannot read %s (error %d)", parent.hostPathOf(entry).constData(), child.lastError());
}

// Visits listing's entries, with a second thread looking at them from the
// other end (FolderStatAhead) while they are visited when lookAhead is set.
// Not over a tree out of memory, where readers go ahead of the walk
// (FolderReadAhead): there the second thread would wait for the disk beside
// them, and the walk for it before it leaves the folder.
template <class Visitor>
bool visitAll(FolderListing& listing, const QString& folder, Visitor& visitor, FolderStatAhead& statAhead,
              bool lookAhead)
{
    if (visitor.opened(listing, folder) == WalkStep::Stop)
        return false;
    if (lookAhead)
        statAhead.offer(listing);
    struct GiveBack {
        FolderStatAhead& ahead;
        FolderListing& listing;
        ~GiveBack() { ahead.giveBack(listing); }
    } giveBack{statAhead, listing};
    for (const FolderListing::Entry& e : listing.entries())
        if (visitor.visit(listing, e, folder) == WalkStep::Stop)
            return false;
    return true;
}

// The listings of the walk's folders, from the root down to the one it is in.
inline std::vector<const FolderListing*> listingsOf(const std::vector<WalkFrame>& stack)
{
    std::vector<const FolderListing*> path;
    path.reserve(stack.size());
    for (const WalkFrame& frame : stack)
        path.push_back(&frame.listing);
    return path;
}

} // namespace detail

// Walks the tree of root, whose text is rootFolder, as described above.
// Returns false when a hook stopped the walk, true when it ran to the end.
template <class Visitor> bool walkFolders(FolderListing root, QString rootFolder, Visitor& visitor)
{
    using detail::WalkFrame;
    FolderReadAhead ahead;
    std::vector<quint32> position; // of the folder on top of the stack
    std::vector<WalkFrame> stack;
    // Ends before the listings it looks into: declared after them.
    FolderStatAhead statAhead;
    if (!detail::visitAll(root, rootFolder, visitor, statAhead, true))
        return false;
    stack.push_back(WalkFrame{std::move(root), std::move(rootFolder)});
    ahead.reading(); // the root was read before the walk: its read counts as quick
    if (ahead.read(position, stack.back().listing))
        ahead.start(position, detail::listingsOf(stack));
    while (!stack.empty()) {
        WalkFrame& top = stack.back();
        const std::vector<FolderListing::Entry>& entries = top.listing.entries();
        if (top.inChild) {
            top.inChild = false;
            if (visitor.after(top.listing, entries[top.next - 1], top.folder) == WalkStep::Stop)
                return false;
        }
        bool entered = false;
        while (top.next < entries.size()) {
            const FolderListing::Entry& e = entries[top.next++];
            const WalkStep step = visitor.descend(top.listing, e, top.folder);
            if (step == WalkStep::Stop)
                return false;
            if (e.isDirectory && step != WalkStep::Enter)
                ahead.declined(position, quint32(top.next - 1));
            if (step == WalkStep::Skip)
                continue;
            if (step == WalkStep::Enter && e.isDirectory) {
                FolderListing child;
                ahead.reading();
                if (ahead.take(position, quint32(top.next - 1), top.listing, e, child)
                    || child.readChild(top.listing, e)) {
                    QString childText = visitor.childFolder(top.folder, top.listing.name(e));
                    top.inChild = true;
                    position.push_back(quint32(top.next - 1));
                    stack.push_back(WalkFrame{std::move(child), std::move(childText)});
                    entered = true; // top is gone with the stack's growth
                    break;
                }
                detail::noteUnreadable(top.listing, e, child);
                if (visitor.unreadable(child, top.listing, e, top.folder) == WalkStep::Stop)
                    return false;
            }
            if (visitor.after(top.listing, e, top.folder) == WalkStep::Stop)
                return false;
        }
        if (!entered) {
            statAhead.settle();
            stack.pop_back();
            if (!position.empty())
                position.pop_back();
            continue;
        }
        WalkFrame& child = stack.back();
        if (ahead.read(position, child.listing))
            ahead.start(position, detail::listingsOf(stack));
        if (!detail::visitAll(child.listing, child.folder, visitor, statAhead, !ahead.running()))
            return false;
    }
    return true;
}

// Walks the tree of root, whose text is rootFolder, breadth-first as
// described above. Returns false when a hook stopped the walk.
template <class Visitor> bool walkFoldersBreadthFirst(FolderListing root, QString rootFolder, Visitor& visitor)
{
    struct Read {
        FolderListing listing;
        QString folder;
    };
    struct Waiting {
        std::shared_ptr<Read> parent;
        size_t index = 0;
        QString folder;
    };
    std::deque<Waiting> queue;
    // The root keeps its handle to the end: every other folder is found
    // again from it.
    const auto top = std::make_shared<Read>(Read{std::move(root), std::move(rootFolder)});
    std::shared_ptr<Read> current = top;
    std::shared_ptr<Read> reopened; // the parent whose sub-folders are being read
    for (;;) {
        const FolderListing& listing = current->listing;
        const std::vector<FolderListing::Entry>& entries = listing.entries();
        if (visitor.opened(listing, current->folder) == WalkStep::Stop)
            return false;
        bool queued = false;
        for (size_t i = 0; i < entries.size(); ++i) {
            const WalkStep step = visitor.descend(listing, entries[i], current->folder);
            if (step == WalkStep::Stop)
                return false;
            if (step == WalkStep::Enter && entries[i].isDirectory) {
                queue.push_back({current, i, visitor.childFolder(current->folder, listing.name(entries[i]))});
                queued = true;
            }
            if (visitor.visit(listing, entries[i], current->folder) == WalkStep::Stop)
                return false;
        }
        if (queued && current != top)
            current->listing.closeFolder();
        current.reset();
        while (!current) {
            if (queue.empty())
                return true;
            Waiting next = std::move(queue.front());
            queue.pop_front();
            if (visitor.arrive(next.folder) == WalkStep::Stop)
                return false;
            if (reopened != next.parent) {
                // Sub-folders of one parent wait side by side: one reopening serves them all.
                if (reopened && reopened != top)
                    reopened->listing.closeFolder();
                reopened = next.parent;
                reopened->listing.reopenBelow(top->listing); // a failure fails the read below
            }
            const FolderListing& parent = next.parent->listing;
            const FolderListing::Entry& entry = parent.entries()[next.index];
            FolderListing child;
            if (child.readChild(parent, entry)) {
                current = std::make_shared<Read>(Read{std::move(child), std::move(next.folder)});
            } else if (detail::noteUnreadable(parent, entry, child),
                       visitor.unreadable(child, parent, entry, next.parent->folder) == WalkStep::Stop) {
                return false;
            }
        }
    }
}

} // namespace platform
