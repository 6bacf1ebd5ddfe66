#pragma once
// The zero-byte finder as one job, the same for its window and the command
// line: walk one drive's files and offer the regular files that are empty
// (ZeroByteFiles says which), each to be erased.

#include "cleaners/files/TLarFileFind.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "core/JobSink.h"

#include <functional>

class ZeroByteJob {
public:
    static constexpr core::Disposal disposal = core::Disposal::Erase;

    // Disposes of the findings as this job's findings go, in one pass, each
    // outcome to outcomes; false when stop ended it.
    static bool dispose(const QList<core::Finding>& findings, const OutcomeSink& outcomes,
                        const std::function<bool()>& stop = {})
    {
        return core::DisposeAll(findings, disposal, outcomes, stop);
    }

    ZeroByteJob();

    // The walker; the window knows it as EFSearch.
    TLarFileFind& walker() { return walker_; }

    // Walks drive ("c:"): every file is reported as progress (with the
    // count offered so far) before it is judged, every file to offer as a
    // finding. The walker lets messages run before each entry; a stop ends
    // the walk.
    void scan(const core::Context& context, core::JobSink& sink, const QString& drive);

private:
    TLarFileFind walker_;
};
