#pragma once
// The Wine, Proton and Steam leftovers finder as a job: what Steam keeps of
// games that are gone (Proton prefixes, shader caches), what Wine's desktop
// integration left for prefixes that are gone, and the download caches.
// The window and the command line both drive it. It looks at the host
// user's folders whatever prefix the run is in, and lists nothing outside
// the folders named by SteamLeftovers, MenuLeftovers and CacheLeftovers.

#include "core/Context.h"
#include "core/Disposal.h"
#include "core/Finding.h"
#include "core/JobSink.h"

#include <QList>
#include <functional>

class OutcomeSink;

class WineLeftoversJob {
public:
    // stop is asked between rows and per folder measured; a stopped scan
    // has listed what it found so far.
    void setStop(std::function<bool()> stop) { stop_ = std::move(stop); }

    // Lists every leftover to sink: Steam's first, then the menus, then the
    // caches. Warnings tell what could not be judged and was left out.
    void scan(const core::Context& context, core::JobSink& sink);

    // Disposes of findings (core::DisposeAll: protected rows are skipped,
    // the rest go by their listed ids), then, when a desktop entry or a
    // mime package went, brings the desktop's caches up to date with
    // update-desktop-database and update-mime-database where they are
    // installed. Returns false when stop ended it early.
    bool dispose(const QList<core::Finding>& findings, core::Disposal how, const OutcomeSink& outcomes,
                 const std::function<bool()>& stop = {});

private:
    std::function<bool()> stop_;
};
