#include "posix/SharedFolders.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

// Calls each(prefix) for "/" and every longer folder prefix of path, then
// for path itself; stops when each returns false.
template <class Each> void eachPrefix(const QByteArray& path, Each each)
{
    if (!each(QByteArray("/")))
        return;
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        if (!each(path.left(slash)))
            return;
    if (path.size() > 1)
        each(path);
}

} // namespace

bool isSharedFolder(mode_t mode)
{
    return S_ISDIR(mode) && (mode & S_ISVTX) && (mode & (S_IWGRP | S_IWOTH));
}

uid_t currentUser()
{
    return ::geteuid();
}

bool liesInSharedFolder(const QByteArray& hostFolder)
{
    bool shared = false;
    eachPrefix(hostFolder, [&](const QByteArray& prefix) {
        struct stat st;
        shared = ::lstat(prefix.constData(), &st) == 0 && isSharedFolder(st.st_mode);
        return !shared;
    });
    return shared;
}

} // namespace platform::posix
