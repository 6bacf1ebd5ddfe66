#pragma once
// Where a job's scan reports while it runs. A front end implements it: the
// window lists each finding and lets its messages run, the command line
// collects the findings and draws progress on a terminal. A scan calls the
// sink on the thread that started it, and only there.

#include "core/Finding.h"

#include <QString>

namespace core {

class JobSink {
public:
    virtual ~JobSink() = default;

    // One more finding, in the order the job lists them.
    virtual void found(const Finding& finding) = 0;

    // Whether progress() wants to be called: a job skips making the texts
    // for a sink that would drop them.
    virtual bool wantsProgress() const { return true; }

    // The job is reading at where (a folder or a file, Windows form) and has
    // found count entries so far. Called often: a sink that draws keeps it
    // cheap.
    virtual void progress(const QString& where, qsizetype count)
    {
        Q_UNUSED(where);
        Q_UNUSED(count);
    }

    // Something the user should know that is neither a finding nor an
    // error of the job as a whole: a value that was refused, a folder left
    // out.
    virtual void warning(const QString& text) { Q_UNUSED(text); }
};

} // namespace core
