#include "platform/posix/PrefixFolder.h"

#include "platform/posix/Handles.h"

#include <QSet>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct InodeKey {
    dev_t dev;
    ino_t ino;
    bool operator==(const InodeKey& o) const { return dev == o.dev && ino == o.ino; }
};

size_t qHash(const InodeKey& k, size_t seed = 0)
{
    return ::qHash(quint64(k.ino), seed) ^ ::qHash(quint64(k.dev), seed);
}

// A prefix is a few folders deep in drive_c's users and programs; a tree
// deeper than this is a trap, not a prefix, and every level holds a
// descriptor.
constexpr int kMaxDepth = 128;

class SizeWalk {
public:
    explicit SizeWalk(dev_t device)
        : device_(device)
    {}

    // Adds what the open folder fd holds; takes fd.
    void addFolder(int fd, int depth)
    {
        DIR* d = ::fdopendir(fd);
        if (!d) {
            ::close(fd);
            return;
        }
        while (const dirent* e = ::readdir(d)) {
            const char* name = e->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat st;
            if (::fstatat(::dirfd(d), name, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_dev != device_)
                continue;
            if (S_ISDIR(st.st_mode)) {
                total_ += quint64(st.st_blocks) * 512;
                if (depth < kMaxDepth) {
                    const int child = ::openat(::dirfd(d), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (child >= 0)
                        addFolder(child, depth + 1);
                }
            } else if (st.st_nlink <= 1 || !seen_.contains({st.st_dev, st.st_ino})) {
                if (st.st_nlink > 1)
                    seen_.insert({st.st_dev, st.st_ino});
                total_ += quint64(st.st_blocks) * 512;
            }
        }
        ::closedir(d);
    }

    quint64 total() const { return total_; }

private:
    dev_t device_;
    quint64 total_ = 0;
    QSet<InodeKey> seen_;
};

} // namespace

QByteArray PrefixFolder::realPath(const QByteArray& path)
{
    if (path.isEmpty())
        return {};
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return {};
    QByteArray out(resolved);
    std::free(resolved);
    return out;
}

bool PrefixFolder::holdsPrefix(const QByteArray& dir)
{
    struct stat st;
    if (::lstat((dir + "/system.reg").constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return ::lstat((dir + "/drive_c").constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString PrefixFolder::arch(const QByteArray& dir)
{
    // Wine writes the line into the header, before the first key.
    const int fd = ::open((dir + "/system.reg").constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    char head[4096];
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    if (n <= 0)
        return {};
    const QByteArray text(head, n);
    const qsizetype at = text.indexOf("\n#arch=");
    if (at < 0)
        return {};
    const qsizetype from = at + 7;
    qsizetype to = from;
    while (to < text.size() && text[to] != '\n' && text[to] != '\r')
        ++to;
    return to < text.size() ? QString::fromLatin1(text.mid(from, to - from)).trimmed() : QString();
}

quint64 PrefixFolder::sizeOnDisk(const QByteArray& dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return 0;
    }
    SizeWalk walk(st.st_dev);
    walk.addFolder(fd, 0);
    return walk.total() + quint64(st.st_blocks) * 512;
}

QByteArray PrefixFolder::readSmallFile(const QByteArray& path, qint64 maxBytes)
{
    const posix::UniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return posix::readRegularFile(fd.get(), maxBytes).value_or(QByteArray());
}

QList<QByteArray> PrefixFolder::entryNames(const QByteArray& dir)
{
    QList<QByteArray> names;
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(d);
    return names;
}

} // namespace platform
