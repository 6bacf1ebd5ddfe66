#include "platform/posix/TrustedProgram.h"

#include <QList>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

bool trustedExecutable(const QByteArray& path)
{
    char buf[PATH_MAX];
    if (!::realpath(path.constData(), buf))
        return false;
    const QByteArray real(buf);
    const QByteArray folder = real.left(std::max<qsizetype>(1, real.lastIndexOf('/')));
    const auto safe = [](const QByteArray& p, bool file) {
        struct stat st;
        if (::stat(p.constData(), &st) != 0 || (file ? !S_ISREG(st.st_mode) : !S_ISDIR(st.st_mode)))
            return false;
        if (st.st_uid != 0 && st.st_uid != ::geteuid())
            return false;
        return (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && (!file || (st.st_mode & S_IXUSR));
    };
    return safe(real, true) && safe(folder, false);
}

QByteArray findOnPath(const QByteArray& name)
{
    if (name.isEmpty() || name.contains('/'))
        return {};
    for (const QByteArray& folder : qgetenv("PATH").split(':')) {
        const QByteArray candidate = folder + '/' + name;
        if (folder.startsWith('/') && ::access(candidate.constData(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace platform::posix
