#pragma once
// Processing of pending window messages from inside a long operation. Walks
// and deletions call process() at the points where the program lets other
// handlers run; the program installs QCoreApplication::processEvents, tests
// install their own hook to act at exact points.

#include <functional>

namespace platform {

class MessagePump {
public:
    // Runs the hook once (nothing when none is installed).
    static void process();

    // Installs the hook; an empty function removes it.
    static void setHook(std::function<void()> hook);
};

} // namespace platform
