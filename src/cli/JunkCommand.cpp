// search and clean: the main window's search and deletion, without a window.

#include "cli/CliCommands.h"
#include "cli/CliFindings.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "platform/Console.h"
#include "platform/DriveTable.h"
#include "core/CallbackSink.h"
#include "scan/JunkSearch.h"
#include "scan/JunkSearchJob.h"
#include "scan/ProtectionRules.h"
#include "core/OutcomeSink.h"
#include "scan/TmFileScan.h"
#include "settings/Settings.h"

namespace {

struct Rows {
    QList<core::Finding> findings;
    QStringList temporaryFolders; // what the search emptied besides the drives
};

QStringList driveItems()
{
    platform::DriveTable::reload();
    QStringList items;
    for (const platform::FixedDrive& drive : platform::DriveTable::fixedDrives())
        items.append(drive.caption());
    return items;
}

// The plan from the settings, or for the one drive --drive names. nullopt,
// after saying why, when Search/Disk is no number or the drive is none.
std::optional<JunkSearch::SearchPlan> planOf(const CliOptions& options)
{
    const QStringList items = driveItems();
    if (!options.drive.isEmpty()) {
        if (!platform::DriveTable::isFixed(options.drive[0])) {
            CliCommands::complainNoSuchDrive(options.drive);
            return std::nullopt;
        }
        return JunkSearch::PlanSearchOn({options.drive});
    }
    QString badDisk;
    std::optional<JunkSearch::SearchPlan> plan = JunkSearch::PlanSearch(items, &badDisk);
    if (!plan)
        CliCommands::complain(InvalidIntegerMessage(badDisk) + QStringLiteral(" (Search/Disk in ") + SettingsFileName()
                              + u')');
    return plan;
}

// The search as the window runs it: the plan, the job's walk, then the
// protection rules. nullopt when there is no plan.
std::optional<Rows> search(const CliOptions& options)
{
    const std::optional<JunkSearch::SearchPlan> plan = planOf(options);
    if (!plan)
        return std::nullopt;
    for (const QString& value : plan->refusedFolders)
        CliCommands::complain(QStringLiteral("warning: the temporary folder %1 is not emptied: it is no folder of the "
                                             "drives searched, or it is reached through a link")
                                  .arg(value));
    Rows rows;
    rows.temporaryFolders = plan->temporaryFolders;
    CliProgress progress;
    core::CallbackSink sink;
    sink.onFound = [&rows](const core::Finding& found) { rows.findings.append(found); };
    sink.onProgress = [&progress](const QString& folder, qsizetype count) {
        if (platform::Console::interrupted())
            TmFileScan::Stop();
        progress.reading(folder, int(count));
    };
    JunkSearchJob().scan(core::Context::current(), sink, *plan);
    progress.clear();
    const ProtectionRules rules;
    for (core::Finding& found : rows.findings)
        rules.mark(found);
    return rows;
}

JunkSearchJob::Disposal disposalOf(const CliOptions& options)
{
    if (!options.trash)
        return JunkSearchJob::Disposal::AsSettingsSay;
    return *options.trash ? JunkSearchJob::Disposal::Recycle : JunkSearchJob::Disposal::Erase;
}

} // namespace

namespace CliCommands {

int junk(const CliOptions& options)
{
    const std::optional<Rows> rows = search(options);
    if (!rows)
        return CliExit::Environment;
    CliReport report(options.command, options.json);
    report.drives(platform::DriveTable::fixedDrives(), rows->temporaryFolders);
    const JunkSearchJob::Disposal how = disposalOf(options);
    return CliFindings::listThenDispose(
        options, report, rows->findings,
        {options.command == u"clean" && !options.dryRun,
         QStringLiteral("add --yes to delete, or --dry-run to only look"),
         [how](const QList<core::Finding>& findings, const OutcomeSink& outcomes, const std::function<bool()>& stop) {
             return JunkSearchJob::dispose(findings, how, outcomes, stop);
         }});
}

} // namespace CliCommands
