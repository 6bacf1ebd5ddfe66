#include "platform/RunEnvironment.h"

namespace platform {

namespace {

struct Installed {
    RunEnvironment environment;
    quint64 generation = 0;
};

Installed& installed()
{
    static Installed state;
    return state;
}

QByteArray fieldOrVariable(const std::optional<QByteArray>& field, const char* variable)
{
    return field ? *field : qgetenv(variable);
}

} // namespace

QByteArray RunEnvironment::drivesInForce() const
{
    return fieldOrVariable(drives, "VARNEL_DRIVES");
}

QByteArray RunEnvironment::windowsFolderInForce() const
{
    return fieldOrVariable(windowsFolder, "VARNEL_WINDIR");
}

QByteArray RunEnvironment::registryFolderInForce() const
{
    return fieldOrVariable(registryFolder, "VARNEL_REGISTRY");
}

void RunEnvironment::install(RunEnvironment environment)
{
    installed().environment = std::move(environment);
    ++installed().generation;
}

const RunEnvironment& RunEnvironment::current()
{
    return installed().environment;
}

quint64 RunEnvironment::generation()
{
    return installed().generation;
}

} // namespace platform
