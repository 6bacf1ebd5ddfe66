#pragma once
// Starting this program again in another environment: inside a Wine
// prefix (as WINEPREFIX does) or on the host.
//
// A new process rather than execve() of this one: the window has to close
// first (it writes its geometry, plug-ins unload through their own hooks,
// the Trash and settings files are flushed), and only then may the new
// instance read that state. The caller therefore starts the new process
// once its window has closed, and then lets the application quit.

#include <QString>

namespace platform {

class ProgramRestart {
public:
    // Starts this program's file with this process's arguments and
    // environment, WINEPREFIX set to prefixFolder, or removed when it is
    // empty. The new process does not depend on this one. False when it
    // could not be started.
    static bool startIn(const QString& prefixFolder);
};

} // namespace platform
