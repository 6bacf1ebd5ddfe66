#include "scan/FileHelpers.h"

#include "platform/FileSize.h"
#include "platform/KnownFolders.h"
#include "platform/ShellDelete.h"

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

bool RecycleFile(const QString& path, const platform::EntryId& listed)
{
    return platform::ShellDelete::recycle(path, listed);
}

bool EraseFile(const QString& path, const platform::EntryId& listed)
{
    return platform::ShellDelete::erase(path, listed);
}

bool EraseEmptyFolder(const QString& path, const platform::EntryId& listed)
{
    return platform::ShellDelete::eraseEmptyFolder(path, listed);
}

quint64 FileSizeOfPath(const QString& path)
{
    return platform::FileSize::ofOpenedFile(path);
}
