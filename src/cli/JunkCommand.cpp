// search and clean: the main window's search and deletion, without a window.

#include "cli/CliCommands.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "platform/Console.h"
#include "platform/DeletionPass.h"
#include "platform/DriveTable.h"
#include "scan/JunkSearch.h"
#include "core/OutcomeSink.h"
#include "scan/TmFileScan.h"
#include "settings/Settings.h"

namespace {

struct Rows {
    QStringList captions;
    QList<quint64> sizes;
    QList<platform::EntryId> ids;
    QList<JunkSearch::Protection> protections;
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

// The search as the window runs it: the plan, the walk, a row per match,
// then the marks. nullopt when there is no plan.
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
    JunkSearch::ListedIds listed;
    TmFileScan scan;
    scan.KeepResult = false;
    scan.SearchFilter = plan->filter;
    scan.OnFileFound = [&](const QString& name) {
        if (const std::optional<JunkSearch::FoundRow> row = JunkSearch::RowFor(name, scan.FoundEntry(), listed)) {
            rows.captions.append(row->caption);
            rows.sizes.append(row->size);
            rows.ids.append(row->id);
        }
    };
    scan.OnFolder = [&](const QString& folder) {
        if (platform::Console::interrupted())
            TmFileScan::Stop();
        progress.reading(folder, int(rows.captions.size()));
    };
    scan.Execute();
    progress.clear();
    rows.protections = JunkSearch::MarkProtected(rows.captions);
    return rows;
}

QString pathOf(const QString& caption)
{
    QString path = caption;
    while (JunkSearch::IsMarked(path))
        path = path.mid(JunkSearch::SkipMarker.size());
    return path;
}

JunkSearch::RowDisposal disposalOf(const CliOptions& options)
{
    if (!options.trash)
        return JunkSearch::RowDisposal::AsSettingsSay;
    return *options.trash ? JunkSearch::RowDisposal::Recycle : JunkSearch::RowDisposal::Erase;
}

// Deletes every row as the window's "Удалить" does, in one pass; stops
// after the current row when interrupted. True when it was interrupted.
bool deleteRows(const Rows& rows, const CliOptions& options, CliReport& report)
{
    OutcomeSink outcomes;
    outcomes.subscribe([&report](const CleanOutcome& outcome) { report.outcome(outcome); });
    const platform::DeletionPass pass;
    for (qsizetype i = 0; i < rows.captions.size(); ++i) {
        if (platform::Console::interrupted())
            return true;
        CleanOutcome outcome = JunkSearch::DeleteRow(rows.captions[i], rows.ids[i], disposalOf(options));
        if (outcome.kind == OutcomeKind::Skipped) {
            outcome.path = pathOf(rows.captions[i]);
            outcome.reason = JunkSearch::ProtectionReason(rows.protections[i]);
        }
        outcome.size = rows.sizes[i];
        outcomes.report(outcome);
    }
    return false;
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
    for (qsizetype i = 0; i < rows->captions.size(); ++i)
        if (!deleting || options.json)
            report.file(pathOf(rows->captions[i]), rows->sizes[i], JunkSearch::ProtectionReason(rows->protections[i]));
    if (!clean || options.dryRun || interrupted) {
        report.finish(interrupted);
        return interrupted ? CliExit::Interrupted : CliExit::Done;
    }
    if (!options.yes) {
        report.finish(false, true);
        complain(QStringLiteral("nothing was deleted: add --yes to delete, or --dry-run to only look"));
        return CliExit::NotConfirmed;
    }
    const bool stopped = deleteRows(*rows, options, report);
    report.finish(stopped);
    if (stopped)
        return CliExit::Interrupted;
    return report.failed() ? CliExit::SomeFailed : CliExit::Done;
}

} // namespace CliCommands
