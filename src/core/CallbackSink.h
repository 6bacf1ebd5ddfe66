#pragma once
// A job sink made of functions, for front ends that hand a scan to their
// own handlers. An unset function drops what it would have been told; with
// no progress function the job is spared the progress texts.

#include "core/JobSink.h"

#include <functional>

namespace core {

class CallbackSink : public JobSink {
public:
    std::function<void(const Finding&)> onFound;
    std::function<void(const QString& where, qsizetype count)> onProgress;
    std::function<void(const QString& text)> onWarning;

    void found(const Finding& finding) override
    {
        if (onFound)
            onFound(finding);
    }
    bool wantsProgress() const override { return bool(onProgress); }
    void progress(const QString& where, qsizetype count) override
    {
        if (onProgress)
            onProgress(where, count);
    }
    void warning(const QString& text) override
    {
        if (onWarning)
            onWarning(text);
    }
};

} // namespace core
