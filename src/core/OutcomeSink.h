#pragma once
// Where a command tells what became of each entry. Front ends subscribe:
// the main window writes its log from it, the command line prints from it.
// A sink belongs to the thread that reports into it.

#include "core/CleanOutcome.h"

#include <functional>
#include <vector>

class OutcomeSink {
public:
    using Handler = std::function<void(const CleanOutcome&)>;

    // Adds a subscriber; each outcome reaches every subscriber in the order
    // they subscribed.
    void subscribe(Handler handler);

    // Tells every subscriber. A subscriber that raises ends the report
    // there and the exception reaches the caller.
    void report(const CleanOutcome& outcome) const;

private:
    std::vector<Handler> handlers_;
};
