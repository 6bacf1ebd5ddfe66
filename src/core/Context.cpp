#include "core/Context.h"

#include "platform/KnownFolders.h"
#include "platform/WinePrefix.h"

namespace core {

Context Context::current()
{
    Context context;
    context.prefix_ = platform::WinePrefix::folder();
    return context;
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

} // namespace core

QString GetAppDir()
{
    return core::Context::current().appDir();
}

QString GetWindowsDir()
{
    return core::Context::current().windowsDir();
}

QString GetTempDir()
{
    return core::Context::current().tempDir();
}
