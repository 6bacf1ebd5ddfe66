#pragma once
// The terminal a command-line front end runs in: whether progress may be
// shown, and Ctrl+C asked for politely.

namespace platform {

class Console {
public:
    // Whether standard error is a terminal: progress goes only there, so a
    // script that collects the output reads no progress lines.
    static bool errorIsTerminal();

    // The terminal's width in columns on standard error; 80 when unknown.
    static int width();

    // From now on the first Ctrl+C (SIGINT) or SIGTERM is only noted, for
    // interrupted() to report, so a job can end cleanly and say what it
    // did; a second one ends the program at once, as it would have.
    static void catchInterrupt();

    // Whether an interrupt was noted since catchInterrupt().
    static bool interrupted();
};

} // namespace platform
