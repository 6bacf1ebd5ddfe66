#include "platform/FileSize.h"

#include "platform/PathMapper.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

quint64 FileSize::ofOpenedFile(const QString& winPath)
{
    const QByteArray host = PathMapper::toHost(winPath);
    struct stat st;
    if (host.isEmpty() || ::lstat(host.constData(), &st) != 0)
        return 0;
    if (S_ISLNK(st.st_mode))
        return quint64(st.st_size);
    if (!S_ISREG(st.st_mode))
        return 0; // never open a device or FIFO just to learn a size
    const posix::UniqueFd fd(::open(host.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const bool ok = fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    return ok ? quint64(st.st_size) : 0;
}

} // namespace platform
