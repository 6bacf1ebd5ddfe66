#include "cleaners/files/TFindDirs.h"

#include "cleaners/files/EInOutError.h"
#include "platform/FileAttributes.h"
#include "platform/FolderListing.h"
#include "platform/FolderReadAhead.h"
#include "platform/FolderWalk.h"
#include "platform/PathMapper.h"

#include <optional>
#include <vector>

using platform::FolderListing;
using platform::PathMapper;

// The finder's part in the shared walk: folders only, hidden and system
// ones neither listed nor entered, except to judge a folder that lists no
// sub-folder; each listed after its own sub-folders.
struct TFindDirs::Visitor : platform::FolderWalkVisitor {
    TFindDirs& find;

    // What the walk does with one entry of a folder.
    enum class Plan : quint8 { Skip, List, Judge };
    // Why a folder is walked: the root, a folder to list, or a folder inside
    // a hidden one, looked at only for the listed folder above it.
    enum class Mode : quint8 { Root, Listed, Judged };

    struct Frame {
        const FolderListing::Entry* entries = nullptr; // tells the frame's listing in after()
        Mode mode = Mode::Root;
        bool judging = false; // its content is asked for
        bool content = false;
        std::vector<Plan> plan;           // per entry
        std::vector<platform::EntryId> ids; // of the entries to list
    };
    std::vector<Frame> frames; // the folders being walked, innermost last
    Mode entering = Mode::Root;

    platform::WalkStep opened(const FolderListing& listing, const QString&)
    {
        Frame frame;
        frame.entries = listing.entries().data();
        frame.mode = entering;
        plan(listing, frame);
        frames.push_back(std::move(frame));
        return platform::WalkStep::Pass;
    }

    // Decides, once a folder is read, which sub-folders are listed or looked
    // into, and whether its own entries make it hold content.
    void plan(const FolderListing& listing, Frame& frame) const
    {
        constexpr quint32 skipped = platform::faHidden | platform::faSysFile | platform::faVolumeID
            | platform::faMountPoint;
        const std::vector<FolderListing::Entry>& entries = listing.entries();
        frame.plan.assign(entries.size(), Plan::Skip);
        bool listsChild = false;
        if (frame.mode != Mode::Judged) {
            frame.ids.resize(entries.size());
            for (size_t i = 0; i < entries.size(); ++i) {
                if (!entries[i].isDirectory)
                    continue;
                const quint32 attributes = listing.attributesOf(entries[i], frame.ids[i]);
                if (!(attributes & skipped) && frame.ids[i].kind == platform::EntryKind::Folder) {
                    frame.plan[i] = Plan::List;
                    listsChild = true;
                }
            }
        }
        // A folder that lists a sub-folder is never offered itself, so only
        // the others are judged, and only where the walk goes on.
        frame.judging = frame.mode == Mode::Judged || (frame.mode == Mode::Listed && !listsChild && find.Recursive);
        if (!frame.judging)
            return;
        frame.content = listing.withheld() || listing.folderIsPackaged();
        // Any file with content decides, so the order of the looks changes
        // nothing but their cost. They nearly always end at the first: the
        // one most likely in memory, which the readers ahead of a cold walk
        // fetch of each folder, not every file of the kinds seen (a whole
        // zero-byte search's reads).
        const Entry* first = platform::FolderReadAhead::firstFileToLookAt(listing);
        if (first && !frame.content)
            frame.content = holdsContent(listing, *first);
        for (size_t i = 0; i < entries.size() && !frame.content; ++i)
            if (!entries[i].isDirectory && &entries[i] != first)
                frame.content = holdsContent(listing, entries[i]);
        FolderListing::noteFirstFileLooks();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].isDirectory && frame.plan[i] == Plan::Skip)
                frame.plan[i] = Plan::Judge;
    }

    // Whether a file of a judged folder makes it hold content, from one
    // look at it: a socket, FIFO or device, a file or link with a size,
    // what the package manager installed. One that turned into a folder
    // since the folder was read counts too; one that vanished does not.
    static bool holdsContent(const FolderListing& listing, const Entry& e)
    {
        const FolderListing::Found found = listing.statOf(e);
        const platform::EntryKind kind = found.id.kind;
        return kind == platform::EntryKind::Special || kind == platform::EntryKind::Folder || found.size != 0
            || listing.isPackaged(e);
    }

    platform::WalkStep descend(const FolderListing& listing, const Entry& e, const QString&)
    {
        Frame& frame = frames.back();
        switch (frame.plan[size_t(&e - listing.entries().data())]) {
        case Plan::Skip:
            return platform::WalkStep::Skip;
        case Plan::List:
            entering = Mode::Listed;
            return find.Recursive ? platform::WalkStep::Enter : platform::WalkStep::Pass;
        case Plan::Judge:
            if (frame.content)
                return platform::WalkStep::Skip; // judged already
            if (listing.isMountPoint(e)) {
                frame.content = true;
                return platform::WalkStep::Skip;
            }
            entering = Mode::Judged;
            return platform::WalkStep::Enter;
        }
        return platform::WalkStep::Skip;
    }

    platform::WalkStep unreadable(const FolderListing& child, const FolderListing& listing, const Entry& e,
                                  const QString& folder)
    {
        // A folder looked into only for judging counts as holding nothing
        // when it cannot be read, as a second reading would find.
        if (frames.back().plan[size_t(&e - listing.entries().data())] == Plan::Judge)
            return platform::WalkStep::Pass;
        PathMapper::setCurrentDirectory(PathOf(folder));
        throw EInOutError(child.lastError());
    }

    platform::WalkStep after(const FolderListing& listing, const Entry& e, const QString& folder)
    {
        std::optional<Frame> child;
        if (frames.back().entries != listing.entries().data()) {
            child = std::move(frames.back());
            frames.pop_back();
        }
        Frame& frame = frames.back();
        const size_t index = size_t(&e - listing.entries().data());
        if (frame.plan[index] == Plan::Judge) {
            frame.content = frame.content || (child && child->content);
            return platform::WalkStep::Pass;
        }
        Contents contents = Contents::Unknown;
        if (child && child->judging)
            contents = child->content ? Contents::Some : Contents::Nothing;
        find.DirsFound.append(childFolder(folder, listing.name(e)));
        find.FoundIds.append(frame.ids[index]);
        find.FoundContents.append(contents);
        return platform::WalkStep::Pass;
    }

    QString childFolder(const QString& folder, QStringView name) const
    {
        QString text;
        text.reserve(folder.size() + 1 + name.size());
        return text.append(folder).append(u'\\').append(name);
    }
};

void TFindDirs::Execute()
{
    if (!PathMapper::setCurrentDirectory(StartDir))
        return;
    FolderListing root;
    if (root.read(StartDir)) {
        Visitor visitor{{}, *this, {}, Visitor::Mode::Root};
        platform::walkFolders(std::move(root), StartDir, visitor);
    }
    PathMapper::setCurrentDirectory(StartDir);
}

QString TFindDirs::PathOf(const QString& entry)
{
    if (entry.mid(2, 2) == u"\\\\")
        return entry.left(2) + entry.mid(3);
    return entry;
}
