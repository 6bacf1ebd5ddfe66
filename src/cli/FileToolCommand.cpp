// empty-dirs, zero-files and broken-links: the file tools' windows without a
// window. What they list and how they delete it is the core's.

#include "cli/CliCommands.h"
#include "cli/CliFindings.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "cleaners/files/EmptyFolderJob.h"
#include "cleaners/files/ShortcutJob.h"
#include "cleaners/files/ZeroByteJob.h"
#include "core/CallbackSink.h"
#include "core/Disposal.h"
#include "core/OutcomeSink.h"
#include "platform/Console.h"
#include "platform/DriveTable.h"

#include <QJsonObject>

namespace {

// The drive a tool searches: the one asked for, else the first fixed drive
// (what the windows' drive boxes show first). Empty when there is none.
QString driveOf(const CliOptions& options)
{
    platform::DriveTable::reload();
    const QList<platform::FixedDrive> drives = platform::DriveTable::fixedDrives();
    if (!options.drive.isEmpty())
        return platform::DriveTable::isFixed(options.drive[0]) ? options.drive : QString();
    return drives.isEmpty() ? QString() : QString(drives.first().letter) + u':';
}

// The tool's job over the drive (or, for shortcuts without --drive, every
// fixed drive), its findings in the order the window lists them: newest
// first.
QList<core::Finding> scan(const CliOptions& options, const QString& drive, CliProgress& progress)
{
    QList<core::Finding> rows;
    core::CallbackSink sink;
    sink.onFound = [&rows](const core::Finding& found) { rows.prepend(found); };
    sink.onProgress = [&](const QString& where, qsizetype) {
        if (platform::Console::interrupted())
            TmFileScan::Stop();
        progress.reading(where, int(rows.size()));
    };
    const core::Context context = core::Context::current();
    if (options.command == u"empty-dirs") {
        EmptyFolderJob job;
        if (const std::optional<EInOutError> failure = job.scan(context, sink, drive.toUpper()).failure)
            CliCommands::complain(failure->Message()); // the partial result is listed, as the window does
    } else if (options.command == u"zero-files") {
        ZeroByteJob().scan(context, sink, drive.toUpper());
    } else {
        QString letters;
        for (const platform::FixedDrive& fixed : context.drives())
            letters += fixed.letter.toUpper();
        TdcShellLink link;
        ShortcutJob(link).scan(context, sink, options.drive.isEmpty() ? letters : drive.left(1).toUpper(), letters);
    }
    return rows;
}

using Dispose = bool (*)(const QList<core::Finding>&, const OutcomeSink&, const std::function<bool()>&);

Dispose disposerOf(const QString& command)
{
    if (command == u"empty-dirs")
        return EmptyFolderJob::dispose;
    return command == u"zero-files" ? ZeroByteJob::dispose : ShortcutJob::dispose;
}

} // namespace

namespace CliCommands {

int fileTool(const CliOptions& options)
{
    const QString drive = driveOf(options);
    if (drive.isEmpty()) {
        if (options.drive.isEmpty())
            complain(QStringLiteral("there is no fixed drive"));
        else
            complainNoSuchDrive(options.drive);
        return CliExit::Environment;
    }
    QList<core::Finding> rows;
    {
        CliProgress progress;
        rows = scan(options, drive, progress);
    }
    CliReport report(options.command, options.json);
    report.drives(platform::DriveTable::fixedDrives());
    report.set(QStringLiteral("drive"),
               options.command == u"broken-links" && options.drive.isEmpty() ? QString() : drive);
    return CliFindings::listThenDispose(options, report, rows,
                                        {options.remove, QStringLiteral("add --yes to delete"),
                                         disposerOf(options.command)});
}

} // namespace CliCommands
