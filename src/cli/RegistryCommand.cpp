// autoruns and programs: the registry windows' lists, and deleting an
// autorun value, without a window.

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "cleaners/traces/AutorunEntries.h"
#include "cleaners/traces/InstalledPrograms.h"
#include "platform/WinError.h"
#include "platform/WinePrefix.h"

#include <QJsonObject>

namespace {

QJsonObject fieldsOf(const AutorunEntry& entry)
{
    return {{QStringLiteral("root"), AutorunEntries::shortRoot(entry)},
            {QStringLiteral("name"), entry.name},
            {QStringLiteral("command"), entry.command},
            {QStringLiteral("view32"), entry.view32}};
}

QStringList lineOf(const AutorunEntry& entry)
{
    return {AutorunEntries::shortRoot(entry) + (entry.view32 ? QStringLiteral(" (32-bit)") : QString()), entry.name,
            entry.command};
}

// Deletes the named value under the root in every view that has it.
int deleteAutorun(const CliOptions& options)
{
    QList<AutorunEntry> matches;
    for (const AutorunEntry& entry : AutorunEntries::list())
        if (AutorunEntries::shortRoot(entry) == options.root
            && entry.name.compare(options.autorunName, Qt::CaseInsensitive) == 0)
            matches.append(entry);
    CliReport report(options.command, options.json);
    for (const AutorunEntry& entry : matches)
        report.entry(fieldsOf(entry), lineOf(entry));
    if (matches.isEmpty()) {
        report.finish(false);
        CliCommands::complain(
            QStringLiteral("no autorun value \"%1\" under %2").arg(options.autorunName, options.root));
        return CliExit::SomeFailed;
    }
    if (!options.yes) {
        report.finish(false, true);
        CliCommands::complain(QStringLiteral("nothing was deleted: add --yes to delete"));
        return CliExit::NotConfirmed;
    }
    for (const AutorunEntry& entry : matches) {
        if (AutorunEntries::remove(entry)) {
            report.outcome({OutcomeKind::Deleted, entry.name});
            continue;
        }
        report.outcome({OutcomeKind::Failed, entry.name, 0, platform::WinError::AccessDenied, QStringLiteral("the registry refused the write")});
        report.finish(false);
        CliCommands::complain(platform::WinePrefix::serverRunning()
                                  ? QStringLiteral("the registry cannot be written while the prefix's wineserver runs")
                                  : QStringLiteral("the registry refused the write"));
        return CliExit::Environment;
    }
    report.finish(false);
    return CliExit::Done;
}

} // namespace

namespace CliCommands {

int autoruns(const CliOptions& options)
{
    if (options.remove)
        return deleteAutorun(options);
    CliReport report(options.command, options.json);
    for (const AutorunEntry& entry : AutorunEntries::list())
        report.entry(fieldsOf(entry), lineOf(entry));
    report.finish(false);
    return CliExit::Done;
}

int programs(const CliOptions& options)
{
    const std::optional<QList<InstalledProgram>> programs = InstalledPrograms::list();
    if (!programs) {
        complain(QStringLiteral("the registry has no Uninstall key"));
        return CliExit::Environment;
    }
    CliReport report(options.command, options.json);
    for (const InstalledProgram& program : *programs) {
        QJsonObject values;
        for (const auto& [name, data] : program.values)
            values.insert(name, data);
        report.entry({{QStringLiteral("name"), program.shownName()},
                      {QStringLiteral("key"), QStringLiteral("HKLM\\") + program.keyPath},
                      {QStringLiteral("view32"), program.view32},
                      {QStringLiteral("values"), values}},
                     {program.shownName() + (program.view32 ? QStringLiteral(" (32-bit)") : QString()),
                      QStringLiteral("HKLM\\") + program.keyPath});
    }
    report.finish(false);
    return CliExit::Done;
}

} // namespace CliCommands
