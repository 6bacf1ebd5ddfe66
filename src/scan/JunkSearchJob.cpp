#include "scan/JunkSearchJob.h"

#include "core/Disposal.h"
#include "formats/WinPath.h"
#include "platform/DriveTable.h"

#include <algorithm>
#include "settings/Settings.h"

namespace {

// True when one drive's folder holds another's, so that a walk of the outer
// drive meets the inner drive's entries too. The host's own table gives each
// file system one letter and a walk never leaves its file system; drives
// the user or a prefix names may be any folders.
bool drivesOverlap(const QList<platform::FixedDrive>& drives)
{
    if (!platform::DriveTable::lettersAreWindows())
        return false;
    const auto holds = [](const QByteArray& outer, const QByteArray& inner) {
        return outer == inner || outer == "/" || inner.startsWith(outer + '/');
    };
    for (qsizetype i = 0; i < drives.size(); ++i)
        for (qsizetype j = 0; j < drives.size(); ++j)
            if (i != j && holds(drives[i].hostRoot, drives[j].hostRoot))
                return true;
    return false;
}

} // namespace

bool JunkSearchJob::listedBefore(const QString& path, const platform::FolderListing::Found& entry)
{
    if (walker_.FoundRepeated())
        return true;
    // Only an entry that another walk or another name may report again is
    // remembered: one in a temporary folder (the drive's masks and the
    // folder's own entry both match it), a file with more than one name, and
    // everything when one drive lies inside another. A set of every row
    // would cost a search of many rows a fifth of its memory.
    const bool again = remembersAll_ || entry.linked
        || std::any_of(temporaryFolders_.begin(), temporaryFolders_.end(),
                       [&path](const QString& folder) { return formats::WinPath::startsWithIgnoringCase(path, folder); });
    if (!again || !entry.id.isKnown())
        return false;
    const qsizetype before = listed_.size();
    listed_.insert(entry.id);
    return listed_.size() == before;
}

void JunkSearchJob::scan(const core::Context& context, core::JobSink& sink, const JunkSearch::SearchPlan& plan)
{
    listed_.clear();
    temporaryFolders_ = plan.temporaryFolders;
    remembersAll_ = drivesOverlap(context.drives());
    qsizetype count = 0;
    walker_.KeepResult = false;
    walker_.SearchFilter = plan.filter;
    walker_.OnFileFound = [&](const QString& name) {
        const platform::FolderListing::Found& entry = walker_.FoundEntry();
        if (name.startsWith(u'\\') || listedBefore(name, entry))
            return;
        core::Finding finding;
        finding.path = name;
        finding.id = entry.id;
        finding.size = entry.size;
        if (entry.packaged) {
            finding.protection = core::Protection::Packaged;
            finding.markers = 1;
        }
        ++count;
        sink.found(finding);
    };
    if (sink.wantsProgress())
        walker_.OnFolder = [&](const QString& folder) { sink.progress(folder, count); };
    walker_.Execute();
    walker_.OnFileFound = nullptr;
    walker_.OnFolder = nullptr;
}

core::Disposal JunkSearchJob::disposalFor(Disposal how)
{
    if (how == Disposal::AsSettingsSay)
        how = ReadSwitch(SettingKeys::Recycle) ? Disposal::Recycle : Disposal::Erase;
    return how == Disposal::Recycle ? core::Disposal::Recycle : core::Disposal::Erase;
}

bool JunkSearchJob::dispose(const QList<core::Finding>& findings, Disposal how, const OutcomeSink& outcomes,
                            const std::function<bool()>& stop)
{
    return core::DisposeAll(findings, disposalFor(how), outcomes, stop);
}
