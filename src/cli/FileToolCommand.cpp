// empty-dirs, zero-files and broken-links: the file tools' windows without a
// window. What they list and how they delete it is the core's.

#include "cli/CliCommands.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "cleaners/files/EInOutError.h"
#include "cleaners/files/EmptyFolders.h"
#include "cleaners/files/ShortcutCheck.h"
#include "cleaners/files/TFindDirs.h"
#include "cleaners/files/TLarFileFind.h"
#include "cleaners/files/TdcFileInfo.h"
#include "cleaners/files/TdcShellLink.h"
#include "cleaners/files/ZeroByteFiles.h"
#include "platform/Console.h"
#include "platform/DeletionPass.h"
#include "platform/DriveTable.h"
#include "core/Disposal.h"
#include "core/OutcomeSink.h"
#include "scan/TmFileScan.h"

#include <QJsonObject>

namespace {

struct Listed {
    QString path;
    platform::EntryId id;
    QString target; // a broken shortcut's target
};

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

// The empty-folder window's search: the walk, its rows newest first, then
// the same two passes that take rows away.
QList<Listed> emptyFolders(const QString& drive)
{
    TFindDirs finder;
    finder.StartDir = drive.toUpper() + u'\\';
    try {
        finder.Execute();
    } catch (const EInOutError& error) {
        CliCommands::complain(error.Message()); // the partial result is listed, as the window does
    }
    QList<Listed> rows;
    QStringList texts, paths;
    QList<TFindDirs::Contents> contents; // what the walk judged of each row
    for (qsizetype i = finder.DirsFound.size() - 1; i >= 0; --i) {
        const QString path = TFindDirs::PathOf(finder.DirsFound[i]);
        rows.append({path, finder.FoundIds.value(i), {}});
        texts.append(path.toUpper());
        contents.append(finder.FoundContents.value(i));
    }
    const auto drop = [&](const QList<int>& positions) {
        for (qsizetype k = positions.size() - 1; k >= 0; --k) {
            rows.removeAt(positions[k]);
            texts.removeAt(positions[k]);
            contents.removeAt(positions[k]);
        }
    };
    drop(EmptyFolders::parentRows(texts));
    for (const Listed& row : rows)
        paths.append(row.path);
    drop(EmptyFolders::nonEmptyRows(paths, contents));
    return rows;
}

QList<Listed> zeroByteFiles(const QString& drive, CliProgress& progress)
{
    QList<Listed> rows;
    TLarFileFind finder;
    TdcFileInfo info;
    finder.FileMask = QStringLiteral("*.*");
    finder.FilePath = drive.toUpper() + u'\\';
    finder.OnFind = [&](QObject*, const QString& file) {
        progress.reading(file, int(rows.size()));
        if (ZeroByteFiles::qualifies(file, finder.FoundEntry(), finder.FoundIsPackaged(), info))
            rows.prepend({file, finder.FoundEntry().id, {}});
    };
    finder.Execute();
    return rows;
}

QList<Listed> brokenShortcuts(const CliOptions& options, CliProgress& progress)
{
    QList<Listed> rows;
    QString letters;
    TmFileScan scan;
    for (const platform::FixedDrive& drive : platform::DriveTable::fixedDrives()) {
        letters += drive.letter.toUpper();
        if (options.drive.isEmpty() || options.drive[0] == drive.letter)
            scan.SearchFilter.append(QString(drive.letter.toUpper()) + QStringLiteral(":\\*.lnk"));
    }
    TdcShellLink link;
    scan.KeepResult = false;
    scan.OnFileFound = [&](const QString& path) {
        const platform::EntryId listed = scan.FoundEntry().id;
        const ShortcutCheck::Verdict verdict = ShortcutCheck::judge(path, true, letters, link);
        if (verdict.broken)
            rows.prepend({path, listed, verdict.target});
    };
    scan.OnFolder = [&](const QString& folder) {
        if (platform::Console::interrupted())
            TmFileScan::Stop();
        progress.reading(folder, int(rows.size()));
    };
    scan.Execute();
    return rows;
}

core::Disposal disposalOf(const QString& command)
{
    if (command == u"empty-dirs")
        return core::Disposal::EraseEmptyFolder;
    return command == u"zero-files" ? core::Disposal::Erase : core::Disposal::Recycle;
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
    QList<Listed> rows;
    {
        CliProgress progress;
        if (options.command == u"empty-dirs")
            rows = emptyFolders(drive);
        else if (options.command == u"zero-files")
            rows = zeroByteFiles(drive, progress);
        else
            rows = brokenShortcuts(options, progress);
    }
    const bool interrupted = platform::Console::interrupted();
    CliReport report(options.command, options.json);
    report.drives(platform::DriveTable::fixedDrives());
    report.set(QStringLiteral("drive"),
               options.command == u"broken-links" && options.drive.isEmpty() ? QString() : drive);
    for (const Listed& row : rows)
        if (!options.yes || options.json)
            report.file(row.path, 0, {}, row.target);
    if (!options.remove || interrupted) {
        report.finish(interrupted);
        return interrupted ? CliExit::Interrupted : CliExit::Done;
    }
    if (!options.yes) {
        report.finish(false, true);
        complain(QStringLiteral("nothing was deleted: add --yes to delete"));
        return CliExit::NotConfirmed;
    }
    OutcomeSink outcomes;
    outcomes.subscribe([&report](const CleanOutcome& outcome) { report.outcome(outcome); });
    bool stopped = false;
    {
        const platform::DeletionPass pass;
        for (const Listed& row : rows) {
            if ((stopped = platform::Console::interrupted()))
                break;
            outcomes.report(core::Dispose(row.path, row.id, disposalOf(options.command)));
        }
    }
    report.finish(stopped);
    if (stopped)
        return CliExit::Interrupted;
    return report.failed() ? CliExit::SomeFailed : CliExit::Done;
}

} // namespace CliCommands
