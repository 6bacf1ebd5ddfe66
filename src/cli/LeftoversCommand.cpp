// wine-leftovers: the Wine, Proton and Steam leftovers window without a
// window. The job finds and deletes; this only picks the rows and reports.

#include "cleaners/wine/WineLeftoversJob.h"
#include "cli/CliCommands.h"
#include "cli/CliProgress.h"
#include "cli/CliReport.h"
#include "core/OutcomeSink.h"
#include "platform/Console.h"

namespace {

class CollectingSink : public core::JobSink {
public:
    CollectingSink(const QString& kind, CliProgress& progress)
        : kind_(kind)
        , progress_(progress)
    {}

    void found(const core::Finding& finding) override
    {
        if (kind_.isEmpty() || finding.kind == kind_)
            findings.append(finding);
    }
    void progress(const QString& where, qsizetype) override { progress_.reading(where, int(findings.size())); }
    void warning(const QString& text) override { CliCommands::complain(text); }

    QList<core::Finding> findings;

private:
    QString kind_;
    CliProgress& progress_;
};

} // namespace

namespace CliCommands {

int wineLeftovers(const CliOptions& options)
{
    WineLeftoversJob job;
    job.setStop([] { return platform::Console::interrupted(); });
    QList<core::Finding> findings;
    {
        CliProgress progress;
        CollectingSink sink(options.kind, progress);
        job.scan(core::Context::current(), sink);
        findings = sink.findings;
    }
    const bool interrupted = platform::Console::interrupted();
    CliReport report(options.command, options.json);
    for (const core::Finding& f : findings)
        if (!options.yes || options.json)
            report.finding(f);
    if (!options.remove || interrupted) {
        report.finish(interrupted);
        return interrupted ? CliExit::Interrupted : CliExit::Done;
    }
    if (!options.yes) {
        report.finish(false, true);
        complain(QStringLiteral("nothing was deleted: add --yes to delete"));
        return CliExit::NotConfirmed;
    }
    QList<core::Finding> chosen;
    for (const core::Finding& f : findings)
        if (options.all || f.selected)
            chosen.append(f);
    OutcomeSink outcomes;
    outcomes.subscribe([&report](const CleanOutcome& outcome) { report.outcome(outcome); });
    const bool finished = job.dispose(chosen, options.trash.value_or(true) ? core::Disposal::Recycle : core::Disposal::Erase,
                                      outcomes, [] { return platform::Console::interrupted(); });
    report.finish(!finished);
    if (!finished)
        return CliExit::Interrupted;
    return report.failed() ? CliExit::SomeFailed : CliExit::Done;
}

} // namespace CliCommands
