#pragma once
// What one run of the program works on, made once by a front end: the host,
// or one Wine prefix, with the drives, folders, registry and clock that
// follow from it. A front end makes one and installs it before any job
// runs; jobs take it instead of asking the process for its environment, and
// tests build their own instead of bending the platform's statics.

#include "platform/DriveTable.h"
#include "platform/RunEnvironment.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace core {

class Context {
public:
    // The installed run environment, as the platform reads it.
    static Context current();

    // The environment this process was started in, read once: the prefix
    // WINEPREFIX names (when it holds a system.reg), else the host, with
    // VARNEL_DRIVES, VARNEL_WINDIR and VARNEL_REGISTRY as they are now.
    static Context fromProcess();

    // The Wine prefix at folder (absolute host path): its drives, registry
    // and folders, whatever WINEPREFIX says. nullopt, with the reason in
    // *why when given, when folder is not absolute or holds no system.reg.
    static std::optional<Context> forPrefix(const QByteArray& folder, QString* why = nullptr);

    // A context over this environment value, as a test builds it.
    explicit Context(platform::RunEnvironment environment = {});

    // Makes this context the run's environment: from now on the platform,
    // and with it every job, reads it. A front end calls it once at start,
    // before any job runs.
    void install();

    // True when this context (or the one it was copied from) is the one
    // installed last.
    bool installed() const;

    const platform::RunEnvironment& environment() const { return environment_; }

    // The prefix folder (absolute host path), empty on the host.
    QByteArray prefixFolder() const;
    bool inPrefix() const { return !prefixFolder().isEmpty(); }

    // The answers below come from the platform and so hold for the
    // installed context only: a context that is not installed() installs
    // nothing, it answers as the installed one would.

    // The folder the registry files are in (host form): the prefix folder,
    // or the host registry folder.
    QByteArray registryFolder() const;

    // The fixed drives, in letter order.
    QList<platform::FixedDrive> drives() const;

    // The program's folder, the Windows folder and the temporary folder, in
    // Windows form; the program's and the temporary folder end in "\".
    QString appDir() const;
    QString windowsDir() const;
    QString tempDir() const;

    // The clock: milliseconds since an arbitrary start, modulo 2^32.
    quint32 ticks() const;

private:
    platform::RunEnvironment environment_;
    quint64 generation_ = 0; // of the installed environment this copies; 0 for none
};

} // namespace core

// The names the rest of the program knows these folders by, for the
// current run.
QString GetAppDir();
QString GetWindowsDir();
QString GetTempDir();
