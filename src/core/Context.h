#pragma once
// What one run of the program works on, made once by a front end: the host,
// or one Wine prefix, with the drives, folders and registry that follow
// from it. Jobs take it instead of asking the process for its environment.

#include "platform/DriveTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace core {

class Context {
public:
    // The environment this process runs in: the prefix it was started in,
    // or the host.
    static Context current();

    // The prefix folder (absolute host path), empty on the host.
    QByteArray prefixFolder() const { return prefix_; }
    bool inPrefix() const { return !prefix_.isEmpty(); }

    // The fixed drives, in letter order.
    QList<platform::FixedDrive> drives() const;

    // The program's folder, the Windows folder and the temporary folder, in
    // Windows form; the program's and the temporary folder end in "\".
    QString appDir() const;
    QString windowsDir() const;
    QString tempDir() const;

private:
    QByteArray prefix_;
};

} // namespace core

// The names the rest of the program knows these folders by, for the
// current run.
QString GetAppDir();
QString GetWindowsDir();
QString GetTempDir();
