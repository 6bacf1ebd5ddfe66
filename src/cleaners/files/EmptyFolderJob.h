#pragma once
// The empty-folder finder as one job, the same for its window and the
// command line: walk one drive's folders, then offer only the lowest empty
// ones (EmptyFolders says which), each to be erased while it is still empty.

#include "cleaners/files/EInOutError.h"
#include "cleaners/files/TFindDirs.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "core/JobSink.h"

#include <QString>
#include <optional>

class EmptyFolderJob {
public:
    // How every finding of this job goes.
    static constexpr core::Disposal disposal = core::Disposal::EraseEmptyFolder;

    struct Result {
        int checked = 0; // folders the walk listed, before the judgement
        // Why the walk ended early: a sub-folder could not be entered. What
        // was found until then is judged and reported all the same.
        std::optional<EInOutError> failure;
    };

    // The walker; the window knows it as DirSearch.
    TFindDirs& walker() { return walker_; }

    // Walks drive ("c:") and reports to sink, in the order the walk listed
    // them (a folder's sub-folders before the folder), the folders to
    // offer: no folder that holds a listed folder, none that holds content,
    // none of a Wine prefix's own skeleton. No progress is reported: the
    // walk lets no messages run.
    Result scan(const core::Context& context, core::JobSink& sink, const QString& drive);

private:
    TFindDirs walker_;
};
