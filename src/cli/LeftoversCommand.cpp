// wine-leftovers: the Wine, Proton and Steam leftovers window without a
// window. The job finds and deletes; this only picks the rows and reports.

#include "cleaners/wine/WineLeftoversJob.h"
#include "cli/CliCommands.h"
#include "cli/CliFindings.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "core/CallbackSink.h"
#include "core/OutcomeSink.h"
#include "platform/Console.h"

namespace CliCommands {

int wineLeftovers(const CliOptions& options)
{
    WineLeftoversJob job;
    job.setStop([] { return platform::Console::interrupted(); });
    QList<core::Finding> findings;
    {
        CliProgress progress;
        core::CallbackSink sink;
        sink.onFound = [&](const core::Finding& found) {
            if (options.kind.isEmpty() || found.kind == options.kind)
                findings.append(found);
        };
        sink.onProgress = [&](const QString& where, qsizetype) { progress.reading(where, int(findings.size())); };
        sink.onWarning = [](const QString& text) { complain(text); };
        job.scan(core::Context::current(), sink);
    }
    CliReport report(options.command, options.json);
    const core::Disposal how = options.trash.value_or(true) ? core::Disposal::Recycle : core::Disposal::Erase;
    // Without --all only the rows chosen by default go: never the user's
    // files, never a download that may be gone for good.
    const bool all = options.all;
    return CliFindings::listThenDispose(
        options, report, findings,
        {options.remove, QStringLiteral("add --yes to delete"),
         [&job, how, all](const QList<core::Finding>& listed, const OutcomeSink& outcomes,
                          const std::function<bool()>& stop) {
             QList<core::Finding> chosen;
             for (const core::Finding& found : listed)
                 if (all || found.selected)
                     chosen.append(found);
             return job.dispose(chosen, how, outcomes, stop);
         }});
}

} // namespace CliCommands
