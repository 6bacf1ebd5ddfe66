#include "cleaners/files/TLarFileFind.h"

#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "formats/MaskMatcher.h"
#include "platform/MessagePump.h"
#include "formats/WinPath.h"

using platform::FolderListing;
using platform::MessagePump;

// The finder's part in the shared walk: messages run before every entry
// the mask matches and after every entry's turn among the sub-folders.
struct TLarFileFind::Visitor : platform::FolderWalkVisitor {
    TLarFileFind& find;
    const formats::MaskMatcher& mask;

    platform::WalkStep visit(const FolderListing& listing, const Entry& e, const QString& folder)
    {
        if (!mask.matches(listing.name(e)))
            return platform::WalkStep::Pass;
        MessagePump::process();
        if (find.stop_)
            return platform::WalkStep::Stop;
        if (e.isDirectory)
            return platform::WalkStep::Pass;
        if (find.OnFind) {
            find.found_ = listing.statOf(e);
            find.reporting_ = {&listing, &e};
            QString file = folder;
            find.OnFind(nullptr, file.append(listing.name(e)));
            find.reporting_ = {};
        }
        if (find.StopOnFirstFind)
            find.stop_ = true;
        return platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const FolderListing&, const Entry&, const QString&)
    {
        return find.IncludeSubDirectories ? platform::WalkStep::Enter : platform::WalkStep::Skip;
    }

    platform::WalkStep after(const FolderListing&, const Entry&, const QString&)
    {
        MessagePump::process();
        return find.stop_ ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }
};

bool TLarFileFind::FoundIsPackaged() const
{
    return reporting_.listing && reporting_.listing->isPackaged(*reporting_.entry);
}

platform::FolderListing::Found TLarFileFind::FoundAgain() const
{
    return reporting_.listing ? reporting_.listing->statOf(*reporting_.entry) : platform::FolderListing::Found{};
}

bool TLarFileFind::Execute()
{
    if (searching_ || FilePath.isEmpty())
        return !searching_;
    struct SearchingGuard {
        bool& flag;
        explicit SearchingGuard(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~SearchingGuard() { flag = false; }
    } guard(searching_);
    stop_ = false;
    const QString start = formats::WinPath::includeTrailingBackslash(FilePath);
    FolderListing root;
    if (!root.read(start))
        return true;
    const formats::MaskMatcher mask(FileMask);
    Visitor visitor{{}, *this, mask};
    platform::walkFolders(std::move(root), start, visitor);
    return true;
}
