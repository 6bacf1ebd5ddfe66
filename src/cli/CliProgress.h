#pragma once
// Progress on standard error while a command walks: how much was found and
// which folder is being read, redrawn at most ten times a second on one
// line. Silent when standard error is no terminal.

#include <QString>

class CliProgress {
public:
    CliProgress();
    ~CliProgress();
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

    // Notes the folder being read and the number of matches so far.
    void reading(const QString& folder, int found);

    // Takes the progress line away, so the report starts on a clean line.
    void clear();

private:
    bool shown_ = false;
    bool enabled_;
    quint32 last_ = 0;
};
