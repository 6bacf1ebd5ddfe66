#include "cleaners/files/TLarFileFind.h"

#include "platform/FolderListing.h"
#include "platform/MaskMatcher.h"
#include "platform/MessagePump.h"
#include "platform/WinPath.h"

using platform::FolderListing;
using platform::MessagePump;

bool TLarFileFind::Execute()
{
    if (searching_ || FilePath.isEmpty())
        return !searching_;
    struct SearchingGuard {
        bool& flag;
        explicit SearchingGuard(bool& f) : flag(f) { flag = true; }
        ~SearchingGuard() { flag = false; }
    } guard(searching_);
    stop_ = false;
    const QString start = platform::WinPath::includeTrailingBackslash(FilePath);
    FolderListing root;
    if (root.read(start))
        search(root, start, platform::MaskMatcher(FileMask));
    return true;
}

void TLarFileFind::search(const FolderListing& listing, const QString& path, const platform::MaskMatcher& mask)
{
    // One read of the folder serves both the mask's files and the sub-folders.
    for (const FolderListing::Entry& e : listing.entries()) {
        if (!mask.matches(listing.name(e)))
            continue;
        MessagePump::process();
        if (stop_)
            return;
        if (e.isDirectory)
            continue;
        if (OnFind) {
            found_ = listing.statOf(e);
            QString file = path;
            OnFind(nullptr, file.append(listing.name(e)));
        }
        if (StopOnFirstFind)
            stop_ = true;
    }
    if (!IncludeSubDirectories)
        return;
    for (const FolderListing::Entry& e : listing.entries()) {
        if (e.isDirectory) {
            FolderListing child;
            if (child.readChild(listing, e)) {
                QString sub = path;
                search(child, sub.append(listing.name(e)).append(u'\\'), mask);
            }
        }
        MessagePump::process();
        if (stop_)
            return;
    }
}
