#include "core/OutcomeSink.h"

void OutcomeSink::subscribe(Handler handler)
{
    handlers_.push_back(std::move(handler));
}

void OutcomeSink::report(const CleanOutcome& outcome) const
{
    for (const Handler& handler : handlers_)
        handler(outcome);
}
