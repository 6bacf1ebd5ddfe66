#include "platform/FileSize.h"

#include "platform/PathMapper.h"

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
    const int fd = ::open(host.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return ok ? quint64(st.st_size) : 0;
}

} // namespace platform
