#pragma once
// The system tick counter: milliseconds since an arbitrary start, modulo 2^32.

#include <QtGlobal>
#include <functional>

namespace platform {

class TickCounter {
public:
    // The current tick count.
    static quint32 now();

    // Replaces the clock (tests drive time by hand); empty restores it.
    static void setSource(std::function<quint32()> source);
};

} // namespace platform
