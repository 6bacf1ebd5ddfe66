#include "platform/KnownFolders.h"

#include "platform/PathMapper.h"
#include "platform/PrefixEnvironment.h"
#include "platform/RunEnvironment.h"
#include "platform/WinePrefix.h"
#include "formats/WinPath.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray programFolder()
{
    if (const QByteArray& chosen = RunEnvironment::current().programFolder; !chosen.isEmpty())
        return chosen;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "/";
    QByteArray exe(buf, n);
    return exe.left(qMax<qsizetype>(1, exe.lastIndexOf('/')));
}

// The XDG base folder named by variable (absolute), else home + fallback.
QByteArray xdgFolder(const char* variable, const char* fallback)
{
    const QByteArray set = qgetenv(variable);
    if (set.startsWith('/'))
        return set;
    return qgetenv("HOME") + fallback;
}

// True when the files the program writes may sit in folder: the user's own
// folder that nobody else may write, so no one else can edit varnel.ini.
bool privatelyWritable(const QByteArray& folder)
{
    struct stat st;
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(folder.constData(), W_OK) == 0;
}

// Makes folder and the missing ones above it, the new ones for the user alone.
void makeFolders(const QByteArray& folder)
{
    for (qsizetype slash = folder.indexOf('/', 1); slash != -1; slash = folder.indexOf('/', slash + 1))
        ::mkdir(folder.left(slash).constData(), 0700);
    ::mkdir(folder.constData(), 0700);
}

} // namespace

QString KnownFolders::tempDir()
{
    if (WinePrefix::active()) {
        // The prefix's programs' TEMP; the host's TMPDIR is not theirs.
        const QString temp = PrefixEnvironment::value(QStringLiteral("TEMP"));
        if (!formats::WinPath::driveLetter(temp).isNull() && !temp.contains(u'%'))
            return formats::WinPath::includeTrailingBackslash(temp);
        return formats::WinPath::includeTrailingBackslash(windowsDir() + QStringLiteral("\\temp"));
    }
    QByteArray dir = qgetenv("TMPDIR");
    if (dir.isEmpty())
        dir = "/tmp";
    return formats::WinPath::includeTrailingBackslash(PathMapper::toWindows(dir));
}

QString KnownFolders::windowsDir()
{
    const QByteArray dir = RunEnvironment::current().windowsFolderInForce();
    if (dir.isEmpty())
        return QStringLiteral("c:\\windows");
    return formats::WinPath::excludeTrailingBackslash(PathMapper::toWindows(dir));
}

QString KnownFolders::appDir()
{
    return formats::WinPath::includeTrailingBackslash(PathMapper::toWindows(programFolder()));
}

QString KnownFolders::programFile(ProgramFile which)
{
    static const char* const names[] = {"varnel.ini", "plugins.list", "fs.txt"};
    const QByteArray name = names[int(which)];
    if (privatelyWritable(programFolder()))
        return appDir() + QString::fromLatin1(name);
    const QByteArray folder = which == ProgramFile::Settings ? xdgFolder("XDG_CONFIG_HOME", "/.config") + "/varnel"
                                                             : xdgFolder("XDG_STATE_HOME", "/.local/state") + "/varnel";
    makeFolders(folder);
    return PathMapper::toWindows(folder + "/" + name);
}

QByteArray KnownFolders::dataHome()
{
    // Qt reads the variable anew on every call, so a test may point it
    // elsewhere at any time. Qt keeps a relative XDG_DATA_HOME as it
    // stands; the base-directory rules say to ignore one, and the trash and
    // the registry must never land wherever the program happened to start.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.startsWith(u'/'))
        return QFile::encodeName(folder);
    return QFile::encodeName(QDir::homePath()) + "/.local/share";
}

QByteArray KnownFolders::userPluginFolder()
{
    return dataHome() + "/varnel/Plugins";
}

} // namespace platform
