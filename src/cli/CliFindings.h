#pragma once
// What every command that finds entries does once its job has scanned:
// list the findings, then, when deletion was asked for and confirmed with
// --yes, dispose of them in one pass. Ctrl+C ends either part early.

#include "cli/CliOptions.h"
#include "cli/CliReport.h"
#include "core/Finding.h"

#include <QList>
#include <functional>

class OutcomeSink;

namespace CliFindings {

struct Deletion {
    bool asked = false;  // the command was told to delete (clean, --delete) and not to only look
    QString howToDelete; // the hint printed when --yes is missing
    // Disposes of the findings, each outcome to outcomes; false when stop
    // ended it.
    std::function<bool(const QList<core::Finding>&, const OutcomeSink& outcomes, const std::function<bool()>& stop)>
        dispose;
};

// Lists findings in report (each file with its size, the reason it is
// protected and its detail; not on a terminal when the deletion will tell of
// each), then deletes as deletion says, and returns the exit code.
int listThenDispose(const CliOptions& options, CliReport& report, const QList<core::Finding>& findings,
                    const Deletion& deletion);

} // namespace CliFindings
