#include "platform/WinePrefix.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QList<QByteArray>& parentOverride()
{
    static QList<QByteArray> parents;
    return parents;
}

QList<QByteArray> defaultParents()
{
    const QByteArray uid = QByteArray::number(::getuid());
    QList<QByteArray> parents{"/tmp/.wine-" + uid};
    if (DIR* d = ::opendir("/tmp")) {
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            struct stat st;
            const QByteArray full = "/tmp/" + name;
            if (name.startsWith("wine-") && ::lstat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode)
                && st.st_uid == ::getuid())
                parents.append(full);
        }
        ::closedir(d);
    }
    return parents;
}

// A POSIX lock held by another process on the file at path.
bool lockHeld(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

} // namespace

QByteArray WinePrefix::folder()
{
    // Asked on every path conversion: a prefix once found is kept while
    // WINEPREFIX stays the same.
    static QByteArray lastVariable, lastFolder;
    const QByteArray variable = qgetenv("WINEPREFIX");
    if (!lastFolder.isEmpty() && variable == lastVariable)
        return lastFolder;
    QByteArray dir = variable;
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    if (!dir.startsWith('/'))
        return {};
    struct stat st;
    const QByteArray system = dir + "/system.reg";
    if (::stat(system.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    lastVariable = variable;
    lastFolder = dir;
    return dir;
}

bool WinePrefix::serverRunning()
{
    const QByteArray dir = folder();
    struct stat st;
    if (dir.isEmpty() || ::stat(dir.constData(), &st) != 0)
        return false;
    char name[64];
    std::snprintf(name, sizeof name, "/server-%llx-%llx/lock", (unsigned long long)st.st_dev,
                  (unsigned long long)st.st_ino);
    const QList<QByteArray> parents = parentOverride().isEmpty() ? defaultParents() : parentOverride();
    for (const QByteArray& parent : parents)
        if (lockHeld(parent + name))
            return true;
    return false;
}

void WinePrefix::setServerFolderParents(const QList<QByteArray>& parents)
{
    parentOverride() = parents;
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
