#include "platform/ShellDelete.h"

#include "platform/PathMapper.h"
#include "posix/FileTree.h"
#include "posix/HomeTrash.h"

#include <gio/gio.h>
#include <sys/stat.h>

namespace platform {

namespace {

// The host path of winPath when it may be deleted at all; empty otherwise.
QByteArray deletablePath(const QString& winPath)
{
    if (winPath.isEmpty() || PathMapper::isDriveRoot(winPath))
        return {};
    const QByteArray host = PathMapper::toHost(winPath);
    struct stat st;
    if (host.isEmpty() || ::lstat(host.constData(), &st) != 0)
        return {};
    if (S_ISDIR(st.st_mode) && posix::isMountRoot(host))
        return {};
    if (posix::checkTree(host) != posix::TreeCheck::Deletable)
        return {};
    return host;
}

enum class GioTrash { Done, NoTrashHere, Failed };

GioTrash trashWithGio(const QByteArray& host)
{
    GFile* file = g_file_new_for_path(host.constData());
    GError* error = nullptr;
    const gboolean ok = g_file_trash(file, nullptr, &error);
    GioTrash result = ok ? GioTrash::Done : GioTrash::Failed;
    if (!ok && error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_NOT_SUPPORTED)
        result = GioTrash::NoTrashHere;
    if (error)
        g_error_free(error);
    g_object_unref(file);
    return result;
}

} // namespace

bool ShellDelete::recycle(const QString& winPath)
{
    const QByteArray host = deletablePath(winPath);
    if (host.isEmpty())
        return false;
    switch (trashWithGio(host)) {
    case GioTrash::Done:
        return true;
    case GioTrash::NoTrashHere:
        return posix::HomeTrash::moveIn(host);
    case GioTrash::Failed:
        break;
    }
    return false;
}

bool ShellDelete::erase(const QString& winPath)
{
    const QByteArray host = deletablePath(winPath);
    return !host.isEmpty() && posix::removeTree(host);
}

} // namespace platform
