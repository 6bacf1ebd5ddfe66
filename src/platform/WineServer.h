#pragma once
// Stopping one prefix's wineserver, as a user would from a terminal with
// that prefix's WINEPREFIX: "wineserver -k", then "wineserver -w" until it
// has gone. Both find the server by the prefix's lock file, so any Wine's
// wineserver stops any other's (Proton's too). No other process is touched.

#include <QByteArray>

namespace platform {

class WineServer {
public:
    // Stops the server of prefixFolder (absolute host path) and waits for
    // it to end, at most timeoutMs in all. The program is $WINESERVER when
    // that names one by an absolute path (as for Wine itself), else
    // "wineserver" in an absolute folder of PATH; it runs only when it and
    // its folder belong to root or this user and nobody else may write
    // them. As root, a prefix another user owns has that user's server,
    // so the program runs as that user. True when no server runs for the
    // prefix afterwards; false when the program could not be found,
    // trusted or started, or the server still runs.
    static bool stop(const QByteArray& prefixFolder, int timeoutMs = 10000);
};

} // namespace platform
