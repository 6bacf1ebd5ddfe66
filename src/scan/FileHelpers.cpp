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

CleanOutcome Dispose(const QString& path, const platform::EntryId& listed, Disposal how)
{
    bool done = false;
    switch (how) {
    case Disposal::Erase:
        done = EraseFile(path, listed);
        break;
    case Disposal::Recycle:
        done = RecycleFile(path, listed);
        break;
    case Disposal::EraseEmptyFolder:
        done = EraseEmptyFolder(path, listed);
        break;
    }
    if (done)
        return {OutcomeKind::Deleted, path};
    return {OutcomeKind::Failed, path, 0, platform::ShellDelete::lastError(), platform::ShellDelete::lastReason()};
}

quint64 FileSizeOfPath(const QString& path)
{
    return platform::FileSize::ofOpenedFile(path);
}
