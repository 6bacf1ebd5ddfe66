#include "platform/WinePrefix.h"

#include "platform/RunEnvironment.h"
#include "platform/posix/UniqueFd.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

void appendOnce(QList<QByteArray>& list, const QByteArray& item)
{
    if (!item.isEmpty() && !list.contains(item))
        list.append(item);
}

// The temporary folders a wineserver run by uid may keep its folders in:
// /tmp, this process's $TMPDIR, and the per-user folder libpam-tmpdir makes
// the user's $TMPDIR (root's $TMPDIR is not the user's).
QList<QByteArray> temporaryRoots(const QList<uid_t>& uids)
{
    QList<QByteArray> roots{"/tmp"};
    QByteArray tmpdir = qgetenv("TMPDIR");
    while (tmpdir.size() > 1 && tmpdir.endsWith('/'))
        tmpdir.chop(1);
    if (tmpdir.startsWith('/'))
        appendOnce(roots, tmpdir);
    for (uid_t uid : uids)
        appendOnce(roots, "/tmp/user/" + QByteArray::number(uid));
    return roots;
}

// Upstream Wine keeps its server folders in <root>/.wine-<uid>/, Debian's in
// <root>/wine-XXXXXX/ folders the user owns.
void addParentsIn(const QByteArray& root, const QList<uid_t>& uids, QList<QByteArray>& parents)
{
    for (uid_t uid : uids)
        appendOnce(parents, root + "/.wine-" + QByteArray::number(uid));
    DIR* d = ::opendir(root.constData());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        const QByteArray full = root + "/" + name;
        struct stat st;
        if (name.startsWith("wine-") && ::lstat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode)
            && uids.contains(st.st_uid))
            appendOnce(parents, full);
    }
    ::closedir(d);
}

// Whose server may own the prefix: this process's user and, as Wine runs a
// prefix only for the user who owns its folder, the folder's owner.
QList<uid_t> serverUsers(const struct stat& prefix)
{
    QList<uid_t> uids{::getuid()};
    if (prefix.st_uid != ::getuid())
        uids.append(prefix.st_uid);
    return uids;
}

QList<QByteArray> defaultParents(const QList<uid_t>& uids)
{
    QList<QByteArray> parents;
    for (const QByteArray& root : temporaryRoots(uids))
        addParentsIn(root, uids, parents);
    return parents;
}

enum class ServerState { Absent, Stopped, Running, Unknown };

// The state of the server whose folder would be serverFolder: a POSIX lock
// held on its file "lock" means it runs (the file stays after it exits).
// Unknown when the folder may be there but its lock cannot be asked.
ServerState serverState(const QByteArray& serverFolder)
{
    struct stat st;
    if (::stat(serverFolder.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ServerState::Absent : ServerState::Unknown;
    if (!S_ISDIR(st.st_mode))
        return ServerState::Absent;
    const QByteArray lock = serverFolder + "/lock";
    const posix::UniqueFd fd(::open(lock.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.valid())
        return errno == ENOENT ? ServerState::Stopped : ServerState::Unknown;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd.get(), F_GETLK, &fl) != 0)
        return ServerState::Unknown;
    return fl.l_type != F_UNLCK ? ServerState::Running : ServerState::Stopped;
}

} // namespace

QByteArray WinePrefix::folder()
{
    if (const std::optional<QByteArray>& chosen = RunEnvironment::current().prefixFolder)
        return *chosen;
    // Asked on every path conversion: a prefix once found is kept while
    // WINEPREFIX stays the same.
    static QByteArray lastVariable, lastFolder;
    const QByteArray given = variable();
    if (!lastFolder.isEmpty() && given == lastVariable)
        return lastFolder;
    const QByteArray dir = validFolder(given);
    if (dir.isEmpty())
        return {};
    lastVariable = given;
    lastFolder = dir;
    return dir;
}

QByteArray WinePrefix::variable()
{
    return qgetenv("WINEPREFIX");
}

QByteArray WinePrefix::validFolder(const QByteArray& given)
{
    QByteArray dir = given;
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    if (!dir.startsWith('/'))
        return {};
    struct stat st;
    const QByteArray system = dir + "/system.reg";
    if (::stat(system.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return dir;
}

QList<bool> WinePrefix::serverRunning(const QList<QByteArray>& dirs)
{
    const QList<QByteArray>& given = RunEnvironment::current().serverFolderParents;
    QHash<uid_t, QList<QByteArray>> parentsByOwner;
    QList<bool> running;
    running.reserve(dirs.size());
    for (const QByteArray& dir : dirs) {
        struct stat st;
        if (dir.isEmpty() || ::stat(dir.constData(), &st) != 0) {
            running.append(false);
            continue;
        }
        if (given.isEmpty() && !parentsByOwner.contains(st.st_uid))
            parentsByOwner.insert(st.st_uid, defaultParents(serverUsers(st)));
        const QList<QByteArray>& parents = given.isEmpty() ? parentsByOwner[st.st_uid] : given;
        char name[64];
        std::snprintf(name, sizeof name, "/server-%llx-%llx", (unsigned long long)st.st_dev,
                      (unsigned long long)st.st_ino);
        // A server whose lock cannot be asked may be running: the files are
        // then left to it.
        bool any = false;
        for (const QByteArray& parent : parents)
            if (const ServerState s = serverState(parent + name);
                s == ServerState::Running || s == ServerState::Unknown)
                any = true;
        running.append(any);
    }
    return running;
}

bool WinePrefix::serverRunning(const QByteArray& dir)
{
    return serverRunning(QList<QByteArray>{dir}).first();
}

QString WinePrefix::userName()
{
    // Wine takes $USER first, then the password database.
    const QByteArray user = qgetenv("USER");
    if (!user.isEmpty())
        return QString::fromLocal8Bit(user);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QStringLiteral("user");
}

} // namespace platform
