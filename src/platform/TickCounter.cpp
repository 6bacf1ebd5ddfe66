#include "platform/TickCounter.h"

#include "platform/RunEnvironment.h"

#include <chrono>

namespace platform {

quint32 TickCounter::now()
{
    if (const auto& clock = RunEnvironment::current().clock)
        return clock();
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace platform
