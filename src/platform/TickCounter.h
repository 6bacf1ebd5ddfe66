#pragma once
// The system tick counter: milliseconds since an arbitrary start, modulo 2^32,
// from the run environment's clock when it has one.

#include <QtGlobal>

namespace platform {

class TickCounter {
public:
    // The current tick count.
    static quint32 now();
};

} // namespace platform
