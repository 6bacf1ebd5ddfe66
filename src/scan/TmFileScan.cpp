#include "scan/TmFileScan.h"

#include "platform/FolderListing.h"
#include "platform/MaskMatcher.h"
#include "platform/MessagePump.h"
#include "platform/WinPath.h"

using platform::FolderListing;
using platform::MaskMatcher;

namespace {

// One flag for every walker: a stop asked for one walk ends all of them.
bool stopRequested = false;

QString joined(const QString& folder, QStringView name, QStringView tail = {})
{
    QString path;
    path.reserve(folder.size() + name.size() + tail.size());
    path.append(folder).append(name).append(tail);
    return path;
}

} // namespace

void TmFileScan::Stop()
{
    stopRequested = true;
}

bool TmFileScan::Execute()
{
    if (walking_)
        return false;
    struct WalkingGuard {
        bool& flag;
        explicit WalkingGuard(bool& f) : flag(f) { flag = true; }
        ~WalkingGuard() { flag = false; }
    } guard(walking_);

    stopRequested = false;
    QStringList found;
    const QStringList entries = SearchFilter; // a handler may assign a new filter meanwhile
    for (const QString& entry : entries)
        walkEntry(entry, found);
    result_ = std::move(found);
    if (OnReady)
        OnReady(result_);
    return true;
}

void TmFileScan::walkEntry(const QString& entry, QStringList& found)
{
    if (stopRequested)
        return;
    const QString folder = platform::WinPath::extractFilePath(entry);
    const MaskMatcher mask(platform::WinPath::extractFileName(entry));
    FolderListing listing;
    if (listing.read(folder))
        walkFolder(listing, folder, mask, found);
}

void TmFileScan::walkFolder(const FolderListing& listing, const QString& folder, const MaskMatcher& mask,
                            QStringList& found)
{
    for (const FolderListing::Entry& e : listing.entries()) {
        if (!mask.matches(listing.name(e)))
            continue;
        platform::MessagePump::process();
        if (stopRequested)
            break;
        const QString name = joined(folder, listing.name(e));
        found.append(name);
        if (OnFileFound)
            OnFileFound(name);
    }
    if (!SubDirectories)
        return;
    for (const FolderListing::Entry& e : listing.entries()) {
        if (stopRequested)
            break;
        if (!e.isDirectory)
            continue;
        FolderListing child;
        if (child.readChild(listing, e))
            walkFolder(child, joined(folder, listing.name(e), u"\\"), mask, found);
    }
}
