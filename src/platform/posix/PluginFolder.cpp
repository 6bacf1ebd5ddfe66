#include "platform/PluginFolder.h"

#include "platform/PathMapper.h"

#include <QByteArrayList>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

long& userOverride()
{
    static long uid = -1;
    return uid;
}

uid_t effectiveUser()
{
    return userOverride() >= 0 ? uid_t(userOverride()) : ::geteuid();
}

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// One step of the chain: the entry itself (never what a link points to),
// of the expected kind, owned by the user or root, closed to group and
// others for writing.
bool stepIsSafe(const QByteArray& hostPath, bool wantFolder)
{
    struct stat st {};
    if (::lstat(hostPath.constData(), &st) != 0)
        return false;
    if (wantFolder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return false;
    if (st.st_uid != 0 && st.st_uid != effectiveUser())
        return false;
    return (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

bool PluginFolder::ensureExists(const QString& winFolder)
{
    const QByteArray host = withoutTrailingSlash(PathMapper::toHost(winFolder));
    if (host.isEmpty())
        return false;
    if (::mkdir(host.constData(), 0755) == 0 || errno == EEXIST) {
        struct stat st {};
        return ::stat(host.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

bool PluginFolder::exists(const QString& winFolder)
{
    const QByteArray host = withoutTrailingSlash(PathMapper::toHost(winFolder));
    struct stat st {};
    return !host.isEmpty() && ::stat(host.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PluginFolder::trusts(const QString& winFolder, const QString& winFile)
{
    const QByteArray folder = withoutTrailingSlash(PathMapper::toHost(winFolder));
    const QByteArray file = PathMapper::toHost(winFile);
    if (!folder.startsWith('/') || !file.startsWith(folder == "/" ? folder : folder + '/'))
        return false;
    const QByteArrayList steps = file.mid(folder == "/" ? 1 : folder.size() + 1).split('/');
    if (!stepIsSafe(folder, true))
        return false;
    QByteArray path = folder == "/" ? QByteArray() : folder;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QByteArray& step = steps[i];
        if (step.isEmpty() || step == "." || step == "..")
            return false;
        path += '/' + step;
        if (!stepIsSafe(path, i + 1 < steps.size()))
            return false;
    }
    return true;
}

void PluginFolder::overrideUser(long uid)
{
    userOverride() = uid;
}

} // namespace platform
