#pragma once
// The cache cleaner and the cookie cleaner as one job: read the folder the
// user's Shell Folders value names, let core::FolderCheck judge it, search
// it, and offer every entry the search reports, each to be erased.

#include "core/Context.h"
#include "core/Disposal.h"
#include "core/JobSink.h"

#include <QString>
#include <functional>

class TEasyFileSearch;

class BrowserCleanJob {
public:
    // Which of the browser's folders is emptied.
    enum class Store {
        Cache,   // "Cache": every entry, files and folders at any depth
        Cookies, // "Cookies": the "*.txt" files (archive or read-only) at any depth
    };

    // What a scan came to.
    enum class Result {
        NoFolder, // the value is missing, empty, of another type or refused: nothing searched
        Missing,  // the value is sound but nothing is there: an empty store
        Searched, // the folder was searched
    };

    static constexpr core::Disposal disposal = core::Disposal::Erase;

    // Disposes of the findings as this job's findings go, in one pass, each
    // outcome to outcomes; false when stop ended it.
    static bool dispose(const QList<core::Finding>& findings, const OutcomeSink& outcomes,
                        const std::function<bool()>& stop = {})
    {
        return core::DisposeAll(findings, disposal, outcomes, stop);
    }

    // The Shell Folders value the store is named by.
    static QString valueName(Store store);

    // Sets search's options and mask for store. search is the caller's (the
    // window knows it as ieSearch or CookieSearch) and must outlive the job.
    BrowserCleanJob(Store store, TEasyFileSearch& search);

    // Reads and judges the folder, then searches it under the disk's own
    // spelling, reporting each entry the search keeps as a finding in the
    // order found (its size is the search's low 32 bits) and, when the sink
    // wants it, each folder entered as progress. A refused value is told
    // to the sink as a warning. The search processes no messages. Throws
    // EFileSearchError when the search cannot start.
    Result scan(const core::Context& context, core::JobSink& sink);

    // The folder the last scan read from the registry, as written there.
    QString folder() const { return folder_; }

private:
    Store store_;
    TEasyFileSearch& search_;
    QString folder_;
};
