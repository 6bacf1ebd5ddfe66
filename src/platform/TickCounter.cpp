#include "platform/TickCounter.h"

#include <chrono>

namespace platform {

namespace {

std::function<quint32()>& source()
{
    static std::function<quint32()> s;
    return s;
}

} // namespace

quint32 TickCounter::now()
{
    if (source())
        return source()();
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TickCounter::setSource(std::function<quint32()> s)
{
    source() = std::move(s);
}

} // namespace platform
