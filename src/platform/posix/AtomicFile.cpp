#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::function<void()>& hook()
{
    static std::function<void()> h;
    return h;
}

bool writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// The file a write lands in: the target of a link, so the link survives.
QByteArray finalTarget(const QByteArray& hostPath)
{
    char buf[PATH_MAX];
    struct stat st;
    if (::lstat(hostPath.constData(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(hostPath.constData(), buf))
        return QByteArray(buf);
    return hostPath;
}

void syncFolder(const QByteArray& file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool AtomicFile::write(const QByteArray& hostPath, const QByteArray& data)
{
    if (hostPath.isEmpty())
        return false;
    const QByteArray target = finalTarget(hostPath);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old;
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && hook())
        hook()();
    if (!ok || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    syncFolder(target);
    return true;
}

AtomicFile::ReadResult AtomicFile::read(const QByteArray& hostPath, QByteArray& data)
{
    if (hostPath.isEmpty())
        return ReadResult::Missing;
    const int fd = ::open(hostPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Unreadable;
    }
    data.clear();
    char buf[16 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return ReadResult::Unreadable;
        }
        if (n == 0)
            break;
        data.append(buf, n);
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool AtomicFile::removeFile(const QByteArray& hostPath)
{
    return !hostPath.isEmpty() && ::unlink(hostPath.constData()) == 0;
}

void AtomicFile::setBeforeReplaceHook(std::function<void()> hook_)
{
    hook() = std::move(hook_);
}

} // namespace platform
