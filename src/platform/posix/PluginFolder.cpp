#include "platform/PluginFolder.h"

#include "platform/Diagnostics.h"
#include "platform/PathMapper.h"
#include "platform/RunEnvironment.h"
#include "platform/posix/UniqueFd.h"

#include <QByteArrayList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The user the run environment names, else the one the program runs as.
uid_t effectiveUser()
{
    const std::optional<quint32>& user = RunEnvironment::current().user;
    return user ? uid_t(*user) : ::geteuid();
}

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// One step of the chain, looked at through its descriptor (opened without
// following a link): of the expected kind, owned by the user or root, closed
// to group and others for writing.
bool stepIsSafe(int fd, bool wantFolder)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
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

namespace {

// The plug-in file, opened (O_PATH) one step at a time from the plug-in
// folder, each step checked on the descriptor it was opened as: what is
// checked is what is loaded, and nothing renamed or swapped in between the
// check and the load can take its place. Invalid when a step is not safe.
posix::UniqueFd openTrusted(const QString& winFolder, const QString& winFile)
{
    const QByteArray folder = withoutTrailingSlash(PathMapper::toHost(winFolder));
    const QByteArray file = PathMapper::toHost(winFile);
    if (!folder.startsWith('/') || !file.startsWith(folder == "/" ? folder : folder + '/'))
        return {};
    const QByteArrayList steps = file.mid(folder == "/" ? 1 : folder.size() + 1).split('/');
    posix::UniqueFd fd(::open(folder.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    for (qsizetype i = 0; fd.valid(); ++i) {
        const bool last = i == steps.size();
        if (!stepIsSafe(fd.get(), !last))
            return {};
        if (last)
            return fd;
        const QByteArray& step = steps[i];
        fd = posix::UniqueFd(step.isEmpty() || step == "." || step == ".."
                                 ? -1
                                 : ::openat(fd.get(), step.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    }
    return {};
}

} // namespace

bool PluginFolder::trusts(const QString& winFolder, const QString& winFile)
{
    return openTrusted(winFolder, winFile).valid();
}

DynamicLibrary::Handle PluginFolder::loadTrusted(const QString& winFolder, const QString& winFile)
{
    posix::UniqueFd fd = openTrusted(winFolder, winFile);
    if (!fd.valid()) {
        qCInfo(lcPlugins, "not trusted: %ls (a link, writable by others, or another user's on the way)",
               qUtf16Printable(winFile));
        return nullptr;
    }
    DynamicLibrary::Handle library = DynamicLibrary::loadDescriptor(fd.release(), winFile);
    if (!library)
        qCInfo(lcPlugins, "did not load: %ls", qUtf16Printable(winFile));
    return library;
}

} // namespace platform
