#include "platform/AtomicFile.h"
#include "platform/TestSeams.h"

#include "platform/posix/UniqueFd.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
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

// True when hostPath is a link that someone else made: whoever may write
// the folder holding it could point it at any file of this user's, so no
// write goes through it.
bool foreignLink(const QByteArray& hostPath)
{
    struct stat st;
    return ::lstat(hostPath.constData(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != ::geteuid();
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

// The new file's name ends so, after the six characters mkostemps fills in.
constexpr char kNewSuffix[] = ".new";
constexpr int kRandomChars = 6;

bool isAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// True when entry is a new file that a write of the file named base makes.
bool isNewFileOf(const QByteArray& entry, const QByteArray& base)
{
    const qsizetype suffix = qsizetype(sizeof kNewSuffix) - 1;
    if (entry.size() != base.size() + 1 + kRandomChars + suffix || !entry.startsWith(base)
        || entry.at(base.size()) != '.' || !entry.endsWith(kNewSuffix))
        return false;
    for (int i = 0; i < kRandomChars; ++i)
        if (!isAlphanumeric(entry.at(base.size() + 1 + i)))
            return false;
    return true;
}

// Gives the new file the old one's owner and group, so that root changing a
// user's file leaves it the user's. Whoever may not give a file away keeps
// at least the group where allowed; a change that is refused leaves the new
// file as created.
void keepOwner(int fd, const struct stat& old)
{
    struct stat now;
    if (::fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
}

// True when a leftover new file is this program's to delete: its own, or,
// for root, one it gave the replaced file's owner.
bool ownLeftover(const struct stat& entry, const struct stat* target)
{
    return entry.st_uid == ::geteuid() || (::geteuid() == 0 && target && entry.st_uid == target->st_uid);
}

void syncFolder(const QByteArray& file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : file.left(slash);
    const posix::UniqueFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

} // namespace

bool AtomicFile::write(const QByteArray& hostPath, const QByteArray& data)
{
    if (hostPath.isEmpty())
        return false;
    if (foreignLink(hostPath)) {
        errno = EPERM;
        return false;
    }
    const QByteArray target = finalTarget(hostPath);
    QByteArray temp = target + ".XXXXXX" + kNewSuffix;
    posix::UniqueFd fd(::mkostemps(temp.data(), int(sizeof kNewSuffix) - 1, O_CLOEXEC));
    if (!fd.valid())
        return false;
    struct stat old;
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing)
        keepOwner(fd.get(), old);
    const mode_t mode = replacing ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), data) && ::fsync(fd.get()) == 0;
    // A failed close can mean the data never reached the disk.
    ok = fd.reset() && ok;
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
    const posix::UniqueFd fd(::open(hostPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid())
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadResult::Unreadable;
    data.clear();
    char buf[16 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadResult::Unreadable;
        if (n == 0)
            break;
        data.append(buf, n);
    }
    return ReadResult::Ok;
}

int AtomicFile::removeStaleTemporaries(const QByteArray& hostPath, int minAgeSeconds)
{
    if (hostPath.isEmpty() || foreignLink(hostPath))
        return 0;
    const QByteArray target = finalTarget(hostPath);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray base = target.mid(slash + 1);
    posix::UniqueFd folderFd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = folderFd.valid() ? ::fdopendir(folderFd.get()) : nullptr;
    if (!dir)
        return 0;
    const int dirFd = folderFd.release(); // the stream closes it
    struct stat targetStat;
    const bool haveTarget = ::fstatat(dirFd, base.constData(), &targetStat, 0) == 0;
    const time_t now = ::time(nullptr);
    int removed = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        struct stat st;
        if (!isNewFileOf(name, base) || ::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISREG(st.st_mode) || !ownLeftover(st, haveTarget ? &targetStat : nullptr) || st.st_nlink != 1
            || now - st.st_mtime < minAgeSeconds)
            continue;
        if (::unlinkat(dirFd, e->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool AtomicFile::removeFile(const QByteArray& hostPath)
{
    return !hostPath.isEmpty() && ::unlink(hostPath.constData()) == 0;
}

void testseams::setBeforeReplaceHook(std::function<void()> hook_)
{
    hook() = std::move(hook_);
}

} // namespace platform
