#include "core/Context.h"

#include "platform/KnownFolders.h"
#include "platform/RegistryKey.h"
#include "platform/TickCounter.h"
#include "platform/WinePrefix.h"

namespace core {

Context::Context(platform::RunEnvironment environment)
    : environment_(std::move(environment))
{}

Context Context::current()
{
    Context context(platform::RunEnvironment::current());
    context.generation_ = platform::RunEnvironment::generation();
    return context;
}

Context Context::fromProcess()
{
    // Resolved now: a later change of the process's variables is not this
    // run's environment.
    const platform::RunEnvironment plain;
    platform::RunEnvironment environment;
    environment.prefixFolder = platform::WinePrefix::validFolder(platform::WinePrefix::variable());
    environment.drives = plain.drivesInForce();
    environment.windowsFolder = plain.windowsFolderInForce();
    environment.registryFolder = plain.registryFolderInForce();
    return Context(std::move(environment));
}

std::optional<Context> Context::forPrefix(const QByteArray& folder, QString* why)
{
    const QByteArray valid = platform::WinePrefix::validFolder(folder);
    if (valid.isEmpty()) {
        if (why)
            *why = folder.startsWith('/')
                ? QStringLiteral("%1 holds no system.reg").arg(QString::fromLocal8Bit(folder))
                : QStringLiteral("%1 is no absolute path").arg(QString::fromLocal8Bit(folder));
        return std::nullopt;
    }
    Context context = fromProcess();
    context.environment_.prefixFolder = valid;
    return context;
}

void Context::install()
{
    platform::RunEnvironment::install(environment_);
    generation_ = platform::RunEnvironment::generation();
}

bool Context::installed() const
{
    return generation_ != 0 && generation_ == platform::RunEnvironment::generation();
}

QByteArray Context::prefixFolder() const
{
    if (environment_.prefixFolder)
        return *environment_.prefixFolder;
    return platform::WinePrefix::validFolder(platform::WinePrefix::variable());
}

QByteArray Context::registryFolder() const
{
    return platform::RegistryKey::filesFolder();
}

QList<platform::FixedDrive> Context::drives() const
{
    return platform::DriveTable::fixedDrives();
}

QString Context::appDir() const
{
    return platform::KnownFolders::appDir();
}

QString Context::windowsDir() const
{
    return platform::KnownFolders::windowsDir();
}

QString Context::tempDir() const
{
    return platform::KnownFolders::tempDir();
}

quint32 Context::ticks() const
{
    return platform::TickCounter::now();
}

} // namespace core

// The installed run's folders, asked without copying its environment.
QString GetAppDir()
{
    return platform::KnownFolders::appDir();
}

QString GetWindowsDir()
{
    return platform::KnownFolders::windowsDir();
}

QString GetTempDir()
{
    return platform::KnownFolders::tempDir();
}
