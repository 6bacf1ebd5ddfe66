#include "scan/TmFileScan.h"

#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "formats/MaskMatcher.h"
#include "platform/MessagePump.h"
#include "platform/PathMapper.h"
#include "formats/WinPath.h"

#include <optional>

using platform::FolderListing;
using formats::MaskMatcher;

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
    if (formats::WinPath::driveLetter(written).isNull())
        return written;
    QString folder = formats::WinPath::includeTrailingBackslash(platform::PathMapper::toWindows(listing.hostFolder()));
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
        explicit WalkingGuard(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~WalkingGuard() { flag = false; }
    } guard(walking_);

    stopRequested = false;
    QStringList found;
    const QStringList entries = SearchFilter; // a handler may assign a new filter meanwhile
    for (qsizetype first = 0; first < entries.size();) {
        // Entries of one folder in a row ("c:\*.tmp", "c:\*.bak", ...) are
        // walked once for all their masks.
        const QString folder = formats::WinPath::extractFilePath(entries[first]);
        qsizetype end = first + 1;
        while (end < entries.size() && formats::WinPath::extractFilePath(entries[end]) == folder)
            ++end;
        walkGroup(entries.mid(first, end - first), found);
        first = end;
    }
    result_ = std::move(found);
    if (OnReady)
        OnReady(result_);
    return true;
}

void TmFileScan::walkGroup(const QStringList& entries, QStringList& found)
{
    if (stopRequested)
        return;
    Walk walk;
    for (const QString& entry : entries)
        walk.masks.emplace_back(formats::WinPath::extractFileName(entry));
    walk.later.resize(walk.masks.size() - 1);
    const QString written = formats::WinPath::extractFilePath(entries.first());
    FolderListing listing;
    if (!listing.read(written))
        return;
    QString folder = spelledOnDisk(written, listing);
    walkFolder(std::move(listing), folder, walk, found);
    // What the other masks matched, in the order their own walks would
    // have reported it.
    for (std::deque<Deferred>& matches : walk.later) {
        while (!matches.empty()) {
            platform::MessagePump::process();
            if (stopRequested)
                return;
            const Deferred m = matches.front();
            matches.pop_front();
            const QString path = walk.paths.text(m.path);
            walk.paths.release(m.path);
            report(path, m.entry, found, m.repeated);
        }
    }
}

void TmFileScan::report(const QString& path, const FolderListing::Found& entry, QStringList& found, bool repeated)
{
    if (KeepResult)
        found.append(path);
    found_ = entry;
    repeated_ = repeated;
    if (OnFileFound)
        OnFileFound(path);
}

// The walker's part in the shared walk: a folder's matches as they are met
// (messages run before each), then its sub-folders when SubDirectories.
struct TmFileScan::Visitor : platform::FolderWalkVisitor {
    TmFileScan& scan;
    Walk& walk;
    QStringList& found;

    platform::WalkStep opened(const FolderListing&, const QString& folder)
    {
        if (scan.OnFolder)
            scan.OnFolder(folder);
        return stopRequested ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep visit(const FolderListing& listing, const Entry& e, const QString& folder)
    {
        // Most walks have one mask, which most entries do not match: that
        // answer costs no more than the match itself.
        if (walk.masks.size() == 1 && !walk.masks.front().matches(listing.name(e)))
            return platform::WalkStep::Pass;
        return look(listing, e, folder);
    }

    platform::WalkStep look(const FolderListing& listing, const Entry& e, const QString& folder)
    {
        const QStringView name = listing.name(e);
        // The path and the look at the entry are made once, however many
        // masks match it.
        std::optional<Match> here;
        const auto match = [&]() -> const Match& {
            if (!here) {
                here = Match{joined(folder, name), listing.statOf(e)};
                here->entry.packaged = listing.isPackaged(e);
            }
            return *here;
        };
        const bool first = walk.masks.front().matches(name);
        bool before = first; // the walk reports it for an earlier mask already
        for (size_t k = 1; k < walk.masks.size(); ++k)
            if (walk.masks[k].matches(name)) {
                walk.later[k - 1].push_back({walk.paths.add(match().path), before, match().entry});
                before = true;
            }
        if (!first)
            return platform::WalkStep::Pass;
        platform::MessagePump::process();
        if (stopRequested)
            return platform::WalkStep::Stop;
        scan.report(match().path, match().entry, found);
        return platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const FolderListing&, const Entry& e, const QString&)
    {
        if (stopRequested)
            return platform::WalkStep::Stop;
        return e.isDirectory && scan.SubDirectories ? platform::WalkStep::Enter : platform::WalkStep::Skip;
    }
};

void TmFileScan::walkFolder(FolderListing listing, const QString& folder, Walk& walk, QStringList& found)
{
    Visitor visitor{{}, *this, walk, found};
    platform::walkFolders(std::move(listing), folder, visitor);
}
