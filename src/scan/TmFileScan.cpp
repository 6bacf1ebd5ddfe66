#include "scan/TmFileScan.h"

#include "platform/FolderListing.h"
#include "platform/MaskMatcher.h"
#include "platform/MessagePump.h"
#include "platform/PathMapper.h"
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

// The folder of a filter entry with a drive as the disk spells it, the
// letter as written: the entry may name the folder in another case, through
// "." or "..", or through a link, and a path reported for deletion must
// name the entry found and nothing else. A folder part without a drive is
// reported as written.
QString spelledOnDisk(const QString& written, const FolderListing& listing)
{
    const QChar letter = written.isEmpty() ? QChar() : written.at(0);
    if (platform::WinPath::driveLetter(written).isNull())
        return written;
    QString folder = platform::WinPath::includeTrailingBackslash(platform::PathMapper::toWindows(listing.hostFolder()));
    if (folder.at(0) == letter.toLower())
        folder[0] = letter;
    return folder;
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
    const MaskMatcher mask(platform::WinPath::extractFileName(entry));
    const QString written = platform::WinPath::extractFilePath(entry);
    FolderListing listing;
    if (listing.read(written))
        walkFolder(listing, spelledOnDisk(written, listing), mask, found);
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
        found_ = listing.statOf(e);
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
