#include "platform/posix/PackageFilesCache.h"

#include "platform/posix/Handles.h"
#include "platform/posix/UniqueFd.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

constexpr char magic[8] = {'V', 'R', 'N', 'P', 'K', 'G', '0', '1'};
constexpr const char* fileName = "packages.cache";
constexpr qint64 largestFile = 64 << 20; // far above any real package set

QByteArray cacheHome()
{
    const QByteArray set = qgetenv("XDG_CACHE_HOME");
    if (set.startsWith('/'))
        return set;
    const QByteArray home = qgetenv("HOME");
    return home.startsWith('/') ? home + "/.cache" : QByteArray();
}

// True for an entry this user owns and no one else may write.
bool ownPrivate(const struct stat& st)
{
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The cache's folder, opened without following a link, when it is this
// user's alone; made (with its parents) first when create is set.
UniqueFd openFolder(bool create)
{
    const QByteArray home = cacheHome();
    if (home.isEmpty())
        return UniqueFd();
    const QByteArray folder = home + "/varnel";
    if (create) {
        for (qsizetype slash = folder.indexOf('/', 1); slash != -1; slash = folder.indexOf('/', slash + 1))
            ::mkdir(folder.left(slash).constData(), 0700);
        ::mkdir(folder.constData(), 0700);
    }
    UniqueFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !ownPrivate(st))
        return UniqueFd();
    return fd;
}

quint64 checksum(const char* data, qsizetype size)
{
    quint64 h = 14695981039346656037ull; // FNV-1a
    for (qsizetype i = 0; i < size; ++i)
        h = (h ^ quint8(data[i])) * 1099511628211ull;
    return h;
}

// What the key holds beyond the caller's: the build's hash function and
// word size, which the stored hashes depend on.
QByteArray fullKey(const QByteArray& key)
{
    return key + "\nqt " QT_VERSION_STR " size_t " + QByteArray::number(int(sizeof(size_t)));
}

void putNumber(QByteArray& out, quint64 n)
{
    out.append(reinterpret_cast<const char*>(&n), sizeof n);
}

void putBytes(QByteArray& out, const QByteArray& bytes)
{
    putNumber(out, quint64(bytes.size()));
    out.append(bytes);
}

// Reads the parts back in the order they were put; every read checks that
// the bytes are there.
class Reader {
public:
    explicit Reader(const QByteArray& data)
        : data_(data)
    {}
    bool number(quint64& n)
    {
        if (data_.size() - at_ < qsizetype(sizeof n))
            return false;
        std::memcpy(&n, data_.constData() + at_, sizeof n);
        at_ += sizeof n;
        return true;
    }
    bool bytes(QByteArray& out)
    {
        quint64 n = 0;
        if (!number(n) || n > quint64(data_.size() - at_))
            return false;
        out = data_.mid(at_, qsizetype(n));
        at_ += qsizetype(n);
        return true;
    }
    qsizetype at() const { return at_; }

private:
    const QByteArray& data_;
    qsizetype at_ = 0;
};

QByteArray linkOf(const QByteArray& top)
{
    char target[4096];
    const ssize_t n = ::readlink(top.constData(), target, sizeof target);
    return n > 0 && n < ssize_t(sizeof target) ? QByteArray(target, n) : QByteArray();
}

QByteArray readPrivateFile(int folder)
{
    const UniqueFd fd(::openat(folder, fileName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return readRegularFile(fd.get(), largestFile, ownPrivate).value_or(QByteArray());
}

bool parse(const QByteArray& data, const QByteArray& key, PackageFilesCacheContent& content)
{
    if (data.size() < qsizetype(sizeof magic + sizeof(quint64)) || std::memcmp(data.constData(), magic, sizeof magic))
        return false;
    const qsizetype body = data.size() - qsizetype(sizeof(quint64));
    quint64 sum = 0;
    std::memcpy(&sum, data.constData() + body, sizeof sum);
    if (sum != checksum(data.constData(), body))
        return false;
    const QByteArray payload = data.mid(sizeof magic, body - qsizetype(sizeof magic));
    Reader in(payload);
    QByteArray savedKey;
    quint64 tops = 0, lists = 0, count = 0;
    if (!in.bytes(savedKey) || savedKey != fullKey(key) || !in.number(tops) || tops > 4096)
        return false;
    for (quint64 i = 0; i < tops; ++i) {
        QByteArray top, real;
        if (!in.bytes(top) || !in.bytes(real) || linkOf(top) != real)
            return false;
        content.tops.append({top, real});
    }
    if (!in.number(lists) || !in.number(count) || count != quint64(payload.size() - in.at()) / sizeof(quint64)
        || (payload.size() - in.at()) % sizeof(quint64))
        return false;
    content.lists = qsizetype(lists);
    content.hashes.resize(size_t(count));
    for (size_t i = 0; i < content.hashes.size(); ++i) {
        quint64 h = 0;
        in.number(h);
        content.hashes[i] = size_t(h);
        if (i > 0 && content.hashes[i - 1] >= content.hashes[i])
            return false; // the search needs them sorted and unique
    }
    return true;
}

} // namespace

bool loadPackageFilesCache(const QByteArray& key, PackageFilesCacheContent& content)
{
    content = {};
    const UniqueFd folder = openFolder(false);
    if (!folder.valid())
        return false;
    if (parse(readPrivateFile(folder.get()), key, content))
        return true;
    content = {};
    return false;
}

void savePackageFilesCache(const QByteArray& key, const PackageFilesCacheContent& content)
{
    const UniqueFd folder = openFolder(true);
    if (!folder.valid())
        return;
    QByteArray data(magic, sizeof magic);
    data.reserve(qsizetype(content.hashes.size() * sizeof(quint64)) + 4096);
    putBytes(data, fullKey(key));
    putNumber(data, quint64(content.tops.size()));
    for (const auto& [top, real] : content.tops) {
        putBytes(data, top);
        putBytes(data, real);
    }
    putNumber(data, quint64(content.lists));
    putNumber(data, quint64(content.hashes.size()));
    for (size_t h : content.hashes)
        putNumber(data, quint64(h));
    putNumber(data, checksum(data.constData(), data.size()));

    const QByteArray temporary = QByteArray(fileName) + "." + QByteArray::number(::getpid()) + ".new";
    UniqueFd out(::openat(folder.get(), temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600));
    if (!out.valid())
        return;
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(out.get(), data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    if (!out.reset() || done != data.size() || ::renameat(folder.get(), temporary.constData(), folder.get(), fileName))
        ::unlinkat(folder.get(), temporary.constData(), 0);
}

} // namespace platform::posix
