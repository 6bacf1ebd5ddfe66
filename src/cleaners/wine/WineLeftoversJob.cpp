#include "cleaners/wine/WineLeftoversJob.h"

#include "cleaners/wine/CacheLeftovers.h"
#include "cleaners/wine/MenuLeftovers.h"
#include "cleaners/wine/SteamLeftovers.h"
#include "core/OutcomeSink.h"
#include "platform/LeftoverHost.h"

using platform::LeftoverHost;

void WineLeftoversJob::scan(const core::Context& context, core::JobSink& sink)
{
    Q_UNUSED(context);
    const QByteArray home = LeftoverHost::home();
    if (!home.startsWith('/')) {
        sink.warning(QStringLiteral("Домашняя папка не задана: искать негде"));
        return;
    }
    SteamLeftovers::scan(home, sink, stop_);
    if (stop_ && stop_())
        return;
    MenuLeftovers::scan({home, LeftoverHost::dataHome(), LeftoverHost::configHome()}, sink);
    CacheLeftovers::scan({home, LeftoverHost::dataHome(), LeftoverHost::cacheHome()}, sink, stop_);
}

bool WineLeftoversJob::dispose(const QList<core::Finding>& findings, core::Disposal how, const OutcomeSink& outcomes,
                               const std::function<bool()>& stop)
{
    bool desktopsGone = false, mimeGone = false;
    OutcomeSink relay;
    relay.subscribe([&](const CleanOutcome& outcome) {
        if (outcome.kind == OutcomeKind::Deleted) {
            desktopsGone = desktopsGone || outcome.path.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
            mimeGone = mimeGone || outcome.path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
        }
        outcomes.report(outcome);
    });
    const bool finished = core::DisposeAll(findings, how, relay, stop);
    // Missing tools are no error: the desktop then reads the folders itself.
    if (desktopsGone)
        LeftoverHost::runFromPath("update-desktop-database", LeftoverHost::dataHome() + "/applications");
    if (mimeGone)
        LeftoverHost::runFromPath("update-mime-database", LeftoverHost::dataHome() + "/mime");
    return finished;
}
