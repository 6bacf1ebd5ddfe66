#pragma once
// The test plug-ins inside a sandbox: copies them into the program folder's
// Plugins (under any name), and reads the log they write of what ran.

#include "support/Sandbox.h"

#include <QString>
#include <QStringList>

class TestPlugins {
public:
    // Points VARNEL_PLUGIN_LOG into the sandbox and starts a fresh program
    // folder (see clear()).
    explicit TestPlugins(const Sandbox& box);

    // Copies the built test plug-in (e.g. "tp_normal", or any library given
    // by its absolute host path) to Plugins/as in the
    // program folder (a plain 0644 file); returns its Windows-form path.
    QString install(const QString& plugin, const QString& as) const;

    // Windows-form path of the program folder's Plugins (no trailing
    // backslash), and the host path of rel inside the program folder.
    QString folder() const;
    QByteArray appPath(const QByteArray& rel) const;

    // The log lines since the last clear, e.g. "load tp_normal".
    QStringList log() const;
    void clearLog() const;
    // How many lines of the log equal line.
    int count(const QString& line) const { return int(log().count(line)); }

    // Moves the program folder to a fresh app<N> with an empty Plugins: a
    // library a test leaves mapped keeps its path taken for the process
    // (the system hands out the mapped one again), so no path is reused.
    void clear();

private:
    const Sandbox& box_;
    int generation_ = 0;
};
