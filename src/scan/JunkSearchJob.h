#pragma once
// The junk-file search as one job, the same for the main window and the
// command line: plan from the settings, walk, a finding per new match, the
// protection rules, and the deletion of what is not protected.

#include "core/Context.h"
#include "core/Disposal.h"
#include "core/Finding.h"
#include "core/JobSink.h"
#include "scan/JunkSearch.h"
#include "scan/TmFileScan.h"

#include <QList>
#include <QSet>
#include <functional>
#include <optional>

class OutcomeSink;

class JunkSearchJob {
public:
    // The walker; the main window knows it as FileScan.
    TmFileScan& walker() { return walker_; }

    // Walks plan.filter and reports to sink: a finding for each match that
    // is a new row (what the package manager installed comes protected,
    // one marker), progress at each folder. Matches without a drive letter
    // and entries already listed by this search are no rows: a temporary
    // file in the temporary folder is matched by the drive's masks and by
    // the folder's own entry, and its second row would fail to delete what
    // the first had deleted. Findings are not yet marked by the rules: the
    // caller applies ProtectionRules once the walk has ended, as the window
    // shows the rows before it marks them. A stop ends the walk; what was
    // found stays reported.
    void scan(const core::Context& context, core::JobSink& sink, const JunkSearch::SearchPlan& plan);

    // How the rows go: as Delete/Recycle says at this moment, or as the
    // caller insists.
    enum class Disposal { AsSettingsSay, Recycle, Erase };
    static core::Disposal disposalFor(Disposal how);

    // Disposes of the findings in one pass (protected ones skipped with
    // their reason), each outcome to outcomes. False when stop ended it.
    static bool dispose(const QList<core::Finding>& findings, Disposal how, const OutcomeSink& outcomes,
                        const std::function<bool()>& stop = {});

private:
    // True when this search has listed the entry the walker reports.
    bool listedBefore(const QString& path, const platform::FolderListing::Found& entry);

    TmFileScan walker_;
    QSet<platform::EntryId> listed_; // the entries that may be reported again
    QStringList temporaryFolders_;
    bool remembersAll_ = false;
};
