#include "platform/PackageFiles.h"

#include "posix/Handles.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct Loaded {
    QByteArray adminDir;
    struct timespec infoChanged {};
    struct timespec diversionsChanged {};
    bool read = false;
    std::vector<size_t> hashes; // sorted, unique
    PackageFiles::Figures figures;
};

Loaded& loaded()
{
    static Loaded state;
    return state;
}

QByteArray adminDir()
{
    const QByteArray dir = qgetenv("DPKG_ADMINDIR");
    return dir.isEmpty() ? QByteArrayLiteral("/var/lib/dpkg") : dir;
}

size_t hashOf(QByteArrayView path)
{
    return qHash(path, 0);
}

struct timespec changedAt(const QByteArray& path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return {};
    return st.st_mtim;
}

bool operator==(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The whole file name inside folder, or nothing when it cannot be read.
QByteArray readAll(int folder, const char* name)
{
    const posix::UniqueFd fd(::openat(folder, name, O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    QByteArray data(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    data.truncate(done);
    return data;
}

// Where a path's first folder really is: merged-/usr systems list files as
// /lib/... and /bin/... while those folders are links into /usr, and a walk,
// which never follows a link, meets the files under /usr.
class TopFolders {
public:
    QByteArray resolved(QByteArrayView path)
    {
        const qsizetype slash = path.indexOf('/', 1);
        if (slash < 0)
            return path.toByteArray();
        const QByteArray top = path.first(slash).toByteArray();
        auto it = real_.find(top);
        if (it == real_.end())
            it = real_.insert(top, realOf(top));
        return *it + path.sliced(slash).toByteArray();
    }

private:
    static QByteArray realOf(const QByteArray& top)
    {
        char target[4096];
        const ssize_t n = ::readlink(top.constData(), target, sizeof target - 1);
        if (n <= 0)
            return top;
        const QByteArray link(target, n);
        QByteArray real = link.startsWith('/') ? link : "/" + link;
        while (real.size() > 1 && real.endsWith('/'))
            real.chop(1);
        return real;
    }

    QHash<QByteArray, QByteArray> real_;
};

void addLines(const QByteArray& text, TopFolders& tops, std::vector<size_t>& hashes)
{
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line(text.constData() + start, end - start);
        start = end + 1;
        if (line.startsWith('/') && line != "/.")
            hashes.push_back(hashOf(tops.resolved(line)));
    }
}

// Diverted files: groups of three lines (original, new name, package); the
// installed file lives under the new name.
void addDiversions(const QByteArray& text, TopFolders& tops, std::vector<size_t>& hashes)
{
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); i += 3)
        if (lines[i].startsWith('/'))
            hashes.push_back(hashOf(tops.resolved(lines[i])));
}

void load(Loaded& state)
{
    state.hashes.clear();
    state.figures = {};
    TopFolders tops;
    const posix::UniqueFd admin(::open(state.adminDir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int infoFd = admin.valid() ? ::openat(admin.get(), "info", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR* info = infoFd >= 0 ? ::fdopendir(infoFd) : nullptr;
    if (!info && infoFd >= 0)
        ::close(infoFd);
    while (info) {
        const dirent* e = ::readdir(info);
        if (!e)
            break;
        const QByteArrayView name(e->d_name);
        if (!name.endsWith(".list"))
            continue;
        addLines(readAll(::dirfd(info), e->d_name), tops, state.hashes);
        ++state.figures.lists;
    }
    if (info)
        ::closedir(info);
    if (admin.valid())
        addDiversions(readAll(admin.get(), "diversions"), tops, state.hashes);
    std::sort(state.hashes.begin(), state.hashes.end());
    state.hashes.erase(std::unique(state.hashes.begin(), state.hashes.end()), state.hashes.end());
    state.hashes.shrink_to_fit();
    state.figures.paths = qsizetype(state.hashes.size());
    state.figures.bytes = qsizetype(state.hashes.capacity() * sizeof(size_t));
    state.read = true;
}

} // namespace

void PackageFiles::refresh()
{
    Loaded& state = loaded();
    const QByteArray dir = adminDir();
    const struct timespec info = changedAt(dir + "/info");
    const struct timespec diversions = changedAt(dir + "/diversions");
    if (state.read && state.adminDir == dir && state.infoChanged == info && state.diversionsChanged == diversions)
        return;
    state.adminDir = dir;
    state.infoChanged = info;
    state.diversionsChanged = diversions;
    load(state);
}

bool PackageFiles::contains(QByteArrayView hostPath)
{
    Loaded& state = loaded();
    if (!state.read)
        refresh();
    QByteArrayView path = hostPath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return std::binary_search(state.hashes.begin(), state.hashes.end(), hashOf(path));
}

PackageFiles::Figures PackageFiles::figures()
{
    return loaded().figures;
}

} // namespace platform
