#pragma once
// The zero-byte finder as one job, the same for its window and the command
// line: walk one drive's files and offer the regular files that are empty
// (ZeroByteFiles says which), each to be erased.

#include "cleaners/files/TLarFileFind.h"
#include "cleaners/files/TdcFileInfo.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "core/JobSink.h"

class ZeroByteJob {
public:
    static constexpr core::Disposal disposal = core::Disposal::Erase;

    // info reads each candidate again before it is offered; it is the
    // caller's and must outlive the job.
    explicit ZeroByteJob(TdcFileInfo& info);

    // The walker; the window knows it as EFSearch.
    TLarFileFind& walker() { return walker_; }

    // Walks drive ("c:"): every file is reported as progress (with the
    // count offered so far) before it is judged, every file to offer as a
    // finding. The walker lets messages run before each entry; a stop ends
    // the walk.
    void scan(const core::Context& context, core::JobSink& sink, const QString& drive);

private:
    TLarFileFind walker_;
    TdcFileInfo& info_;
};
