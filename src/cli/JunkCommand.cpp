// search and clean: the main window's search and deletion, without a window.

#include "cli/CliCommands.h"
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
    const bool clean = options.command == u"clean";
    const std::optional<Rows> rows = search(options);
    if (!rows)
        return CliExit::Environment;
    const bool interrupted = platform::Console::interrupted();
    CliReport report(options.command, options.json);
    report.drives(platform::DriveTable::fixedDrives(), rows->temporaryFolders);
    const bool deleting = clean && options.yes && !interrupted;
    for (const core::Finding& found : rows->findings)
        if (!deleting || options.json)
            report.file(found.path, found.size, core::reasonOf(found.protection));
    if (!clean || options.dryRun || interrupted) {
        report.finish(interrupted);
        return interrupted ? CliExit::Interrupted : CliExit::Done;
    }
    if (!options.yes) {
        report.finish(false, true);
        complain(QStringLiteral("nothing was deleted: add --yes to delete, or --dry-run to only look"));
        return CliExit::NotConfirmed;
    }
    OutcomeSink outcomes;
    outcomes.subscribe([&report](const CleanOutcome& outcome) { report.outcome(outcome); });
    const bool stopped = !JunkSearchJob::dispose(rows->findings, disposalOf(options), outcomes,
                                                 [] { return platform::Console::interrupted(); });
    report.finish(stopped);
    if (stopped)
        return CliExit::Interrupted;
    return report.failed() ? CliExit::SomeFailed : CliExit::Done;
}

} // namespace CliCommands
