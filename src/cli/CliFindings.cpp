#include "cli/CliFindings.h"

#include "cli/CliCommands.h"
#include "core/OutcomeSink.h"
#include "platform/Console.h"

namespace CliFindings {

int listThenDispose(const CliOptions& options, CliReport& report, const QList<core::Finding>& findings,
                    const Deletion& deletion)
{
    const bool interrupted = platform::Console::interrupted();
    const bool deleting = deletion.asked && options.yes && !interrupted;
    for (const core::Finding& found : findings)
        if (!deleting || options.json)
            report.finding(found);
    if (!deletion.asked || interrupted) {
        report.finish(interrupted);
        return interrupted ? CliExit::Interrupted : CliExit::Done;
    }
    if (!options.yes) {
        report.finish(false, true);
        CliCommands::complain(QStringLiteral("nothing was deleted: ") + deletion.howToDelete);
        return CliExit::NotConfirmed;
    }
    OutcomeSink outcomes;
    outcomes.subscribe([&report](const CleanOutcome& outcome) { report.outcome(outcome); });
    const bool stopped = !deletion.dispose(findings, outcomes, [] { return platform::Console::interrupted(); });
    report.finish(stopped);
    if (stopped)
        return CliExit::Interrupted;
    return report.failed() ? CliExit::SomeFailed : CliExit::Done;
}

} // namespace CliFindings
