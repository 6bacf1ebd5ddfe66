#pragma once
// The shortcut checker as one job, the same for its window and the command
// line: walk the drives for shortcuts, judge each (ShortcutCheck), offer
// the broken ones, each to go to the trash.

#include "cleaners/files/TdcShellLink.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "core/JobSink.h"
#include "scan/TmFileScan.h"

#include <QString>
#include <functional>

class ShortcutJob {
public:
    static constexpr core::Disposal disposal = core::Disposal::Recycle;

    // link reads each shortcut; it is the caller's and must outlive the job.
    explicit ShortcutJob(TdcShellLink& link);

    // The walker; the window knows it as linkScan.
    TmFileScan& walker() { return walker_; }

    // Whether only shortcuts to programs (.exe) are judged; asked afresh for
    // every shortcut, as a window's check box may change mid-search.
    std::function<bool()> exeOnly = [] { return true; };

    // Walks the drives whose letters are in walked ("CD") for *.lnk. Each
    // folder read and each judged shortcut is reported as progress with the
    // count judged so far; a broken shortcut first as a finding whose detail
    // is its target. Targets
    // are placed on fixedLetters (every fixed drive). A stop ends the walk.
    void scan(const core::Context& context, core::JobSink& sink, const QString& walked, const QString& fixedLetters);

    // Shortcuts judged and found broken by the last scan.
    int judged() const { return judged_; }
    int broken() const { return broken_; }

private:
    TmFileScan walker_;
    TdcShellLink& link_;
    int judged_ = 0;
    int broken_ = 0;
};
