#pragma once
// The terminal a command-line front end runs in: whether progress may be
// shown, Ctrl+C asked for politely, and standard output that reports when
// it could not be written.

#include <QByteArray>
#include <QString>

namespace platform {

class Console {
public:
    // Call first thing. Opens each of the standard descriptors 0, 1 and 2
    // that is closed on /dev/null, so that no file opened later takes its
    // number (and gets the report or the messages written into it); a
    // standard output found closed still counts as failed (writeOut). A
    // write to a pipe whose reader has gone then fails with an error
    // instead of ending the program.
    static void prepareStandardFiles();

    // Appends bytes to standard output. False when they cannot all be
    // written: standard output was closed at start, or the host refused a
    // write (a reader that went away, a full disk). The first failure is
    // kept for outputError() and counts as an interrupt (interrupted()), so
    // a job stops after the entry at hand as it would after Ctrl+C.
    static bool writeOut(const QByteArray& bytes);

    // Writes out what standard output still buffers; false when that or
    // any write before failed.
    static bool flushOut();

    // Why standard output failed, in a few words; empty while it did not.
    static QString outputError();

    // Whether standard error is a terminal: progress goes only there, so a
    // script that collects the output reads no progress lines.
    static bool errorIsTerminal();

    // The terminal's width in columns on standard error; 80 when unknown.
    static int width();

    // From now on the first Ctrl+C (SIGINT) or SIGTERM is only noted, for
    // interrupted() to report, so a job can end cleanly and say what it
    // did; a second one ends the program at once, as it would have.
    static void catchInterrupt();

    // Whether an interrupt was noted since catchInterrupt(), or standard
    // output failed.
    static bool interrupted();
};

} // namespace platform
