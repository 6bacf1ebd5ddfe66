#include "platform/KnownFolders.h"

#include "platform/PathMapper.h"
#include "platform/PrefixEnvironment.h"
#include "platform/WinePrefix.h"
#include "platform/WinPath.h"

#include <climits>
#include <unistd.h>

namespace platform {

namespace {

QByteArray& appDirOverride()
{
    static QByteArray folder;
    return folder;
}

QByteArray programFolder()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "/";
    QByteArray exe(buf, n);
    return exe.left(qMax<qsizetype>(1, exe.lastIndexOf('/')));
}

} // namespace

QString KnownFolders::tempDir()
{
    if (WinePrefix::active()) {
        // The prefix's programs' TEMP; the host's TMPDIR is not theirs.
        const QString temp = PrefixEnvironment::value(QStringLiteral("TEMP"));
        if (!WinPath::driveLetter(temp).isNull() && !temp.contains(u'%'))
            return WinPath::includeTrailingBackslash(temp);
        return WinPath::includeTrailingBackslash(windowsDir() + QStringLiteral("\\temp"));
    }
    QByteArray dir = qgetenv("TMPDIR");
    if (dir.isEmpty())
        dir = "/tmp";
    return WinPath::includeTrailingBackslash(PathMapper::toWindows(dir));
}

QString KnownFolders::windowsDir()
{
    const QByteArray dir = qgetenv("VARNEL_WINDIR");
    if (dir.isEmpty())
        return QStringLiteral("c:\\windows");
    return WinPath::excludeTrailingBackslash(PathMapper::toWindows(dir));
}

QString KnownFolders::appDir()
{
    const QByteArray& forced = appDirOverride();
    return WinPath::includeTrailingBackslash(PathMapper::toWindows(forced.isEmpty() ? programFolder() : forced));
}

void KnownFolders::overrideAppDir(const QByteArray& hostFolder)
{
    appDirOverride() = hostFolder;
}

} // namespace platform
