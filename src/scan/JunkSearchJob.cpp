#include "scan/JunkSearchJob.h"

#include "core/Disposal.h"
#include "settings/Settings.h"

void JunkSearchJob::scan(const core::Context&, core::JobSink& sink, const JunkSearch::SearchPlan& plan)
{
    listed_.clear();
    qsizetype count = 0;
    walker_.KeepResult = false;
    walker_.SearchFilter = plan.filter;
    walker_.OnFileFound = [&](const QString& name) {
        const platform::FolderListing::Found& entry = walker_.FoundEntry();
        if (name.startsWith(u'\\'))
            return;
        if (entry.id.isKnown()) {
            const qsizetype before = listed_.size();
            listed_.insert(entry.id);
            if (listed_.size() == before)
                return;
        }
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
