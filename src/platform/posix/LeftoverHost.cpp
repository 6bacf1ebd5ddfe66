#include "platform/LeftoverHost.h"

#include "platform/PathMapper.h"
#include "platform/posix/Handles.h"
#include "platform/posix/TrustedProgram.h"
#include "platform/posix/SteamPrefixes.h"
#include "platform/posix/UniqueFd.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The folder with links resolved, so that the paths listed below it reach
// their entries without a link on the way (deletion refuses those); as
// given when it does not exist.
QByteArray resolved(const QByteArray& path)
{
    char buf[PATH_MAX];
    return !path.isEmpty() && ::realpath(path.constData(), buf) ? QByteArray(buf) : path;
}

QByteArray xdgFolder(const char* variable, const char* fallback)
{
    const QByteArray set = qgetenv(variable);
    return resolved(set.startsWith('/') ? set : LeftoverHost::home() + fallback);
}

bool statPath(int dirFd, const char* name, struct statx& st)
{
    return ::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                   STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BTIME | STATX_MTIME, &st)
        == 0;
}

HostEntry entryOf(const QByteArray& name, const struct statx& st)
{
    HostEntry e;
    e.name = name;
    e.id = posix::entryIdOf(st);
    e.size = e.id.kind == EntryKind::Folder ? 0 : st.stx_size;
    e.modified = st.stx_mtime.tv_sec;
    return e;
}

} // namespace

QByteArray LeftoverHost::home()
{
    return resolved(qgetenv("HOME"));
}

QByteArray LeftoverHost::dataHome()
{
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

QByteArray LeftoverHost::configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

QByteArray LeftoverHost::cacheHome()
{
    return xdgFolder("XDG_CACHE_HOME", "/.cache");
}

QList<QByteArray> LeftoverHost::steamRoots(const QByteArray& home)
{
    return SteamPrefixes::roots(home);
}

QList<QByteArray> LeftoverHost::steamLibraries(const QByteArray& home)
{
    return SteamPrefixes::libraries(home);
}

QList<HostEntry> LeftoverHost::entries(const QByteArray& folder)
{
    return listing(folder).value_or(QList<HostEntry>());
}

std::optional<QList<HostEntry>> LeftoverHost::listing(const QByteArray& folder)
{
    QList<HostEntry> out;
    posix::UniqueFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return std::nullopt;
    DIR* d = ::fdopendir(::dup(fd.get()));
    if (!d)
        return std::nullopt;
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct statx st {};
        if (statPath(fd.get(), name, st))
            out.append(entryOf(QByteArray(name), st));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const HostEntry& a, const HostEntry& b) { return a.name < b.name; });
    return out;
}

std::optional<HostEntry> LeftoverHost::entry(const QByteArray& path)
{
    struct statx st {};
    if (path.isEmpty() || !statPath(AT_FDCWD, path.constData(), st))
        return std::nullopt;
    return entryOf(path.mid(path.lastIndexOf('/') + 1), st);
}

bool LeftoverHost::missing(const QByteArray& path)
{
    struct statx st {};
    if (statPath(AT_FDCWD, path.constData(), st))
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

QByteArray LeftoverHost::readSmallFile(const QByteArray& path, qint64 maxBytes)
{
    const std::optional<HostEntry> e = entry(path);
    if (!e || e->id.kind != EntryKind::File)
        return {};
    const posix::UniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    const auto same = [&e](const struct stat& st) { return st.st_ino == e->id.inode; };
    return posix::readRegularFile(fd.get(), maxBytes, same).value_or(QByteArray());
}

bool LeftoverHost::lockHeld(const QByteArray& path)
{
    posix::UniqueFd fd(::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.valid())
        fd.reset(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A record lock shows without taking anything.
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd.get(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return true;
    // A whole-file lock only shows by trying it; one taken is given back at once.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd.get(), LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

QString LeftoverHost::windowsPath(const QByteArray& hostPath)
{
    return PathMapper::toWindows(hostPath);
}

bool LeftoverHost::runFromPath(const QByteArray& program, const QByteArray& argument, int timeoutMs)
{
    const QByteArray found = posix::findOnPath(program);
    if (found.isEmpty() || !posix::trustedExecutable(found))
        return false;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QFile::decodeName(found), {QFile::decodeName(argument)});
    const QDeadlineTimer deadline(timeoutMs);
    if (!p.waitForStarted(int(std::max<qint64>(deadline.remainingTime(), 1))))
        return false;
    if (!p.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace platform
