#include "platform/PackageFiles.h"

#include "posix/Handles.h"
#include "posix/PackageFilesCache.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <deque>
#include <cerrno>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The set of path hashes, each found in a probe or two: a walk asks about
// every file it may list, and a binary search through all of them costs a
// dozen and more cache misses each time. The sorted hashes are cut into
// buckets by their top bits, a handful each; an index of where each bucket
// begins costs an eighth of the hashes' own memory.
class HashIndex {
public:
    // Takes sorted (unique) over.
    void fill(std::vector<size_t> sorted)
    {
        hashes_ = std::move(sorted);
        hashes_.shrink_to_fit();
        int bits = 1;
        while (bits < 30 && (size_t(1) << (bits + 2)) < hashes_.size())
            ++bits;
        shift_ = int(sizeof(size_t) * 8) - bits;
        starts_.assign((size_t(1) << bits) + 1, 0);
        size_t at = 0;
        for (size_t bucket = 0; bucket + 1 < starts_.size(); ++bucket) {
            starts_[bucket] = quint32(at);
            while (at < hashes_.size() && (hashes_[at] >> shift_) == bucket)
                ++at;
        }
        starts_.back() = quint32(hashes_.size());
    }

    bool contains(size_t h) const
    {
        if (hashes_.empty())
            return false;
        const size_t bucket = h >> shift_;
        return std::binary_search(hashes_.begin() + starts_[bucket], hashes_.begin() + starts_[bucket + 1], h);
    }

    size_t count() const { return hashes_.size(); }
    size_t bytes() const { return hashes_.capacity() * sizeof(size_t) + starts_.capacity() * sizeof(quint32); }

private:
    std::vector<size_t> hashes_;
    std::vector<quint32> starts_; // where each bucket begins in hashes_, and the end
    int shift_ = 0;
};

struct Loaded {
    QByteArray adminDir;
    QByteArray infoChanged;       // stampOf the info folder
    QByteArray diversionsChanged; // and of the diversions
    bool checked = false;       // the dates above were looked at
    bool read = false;          // the lists were read since
    std::vector<size_t> hashes; // sorted, unique; while the lists are read
    HashIndex set;                // the hashes, once read
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

size_t pathHash(QByteArrayView path)
{
    return qHash(path, 0);
}

// When path last changed, as text: its modification time, which dpkg's
// renames into the folder move, and its change time and inode, which no
// one but the folder's owner can set back.
QByteArray stampOf(const QByteArray& path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return QByteArrayLiteral("none");
    return QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' '
        + QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_ctim.tv_nsec)) + ' '
        + QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}

// The whole file name inside folder, or nothing when it cannot be read.
QByteArray readAll(int folder, const char* name)
{
    const posix::UniqueFd fd(::openat(folder, name, O_RDONLY | O_CLOEXEC));
    return posix::readRegularFile(fd.get(), std::numeric_limits<qint64>::max()).value_or(QByteArray());
}

// Where a path's first folder really is: merged-/usr systems list files as
// /lib/... and /bin/... while those folders are links into /usr, and a walk,
// which never follows a link, meets the files under /usr. Each first folder
// is looked at once; a list names a few dozen.
class TopFolders {
public:
    // The hash of path with its first folder resolved.
    size_t hashOf(QByteArrayView path)
    {
        const qsizetype slash = path.indexOf('/', 1);
        const QByteArrayView top = slash < 0 ? path : path.first(slash);
        const Top& t = lookUp(top);
        if (t.real.isEmpty())
            return pathHash(path);
        return pathHash(t.real + path.sliced(top.size()).toByteArray());
    }

    // Each first folder met and what its link says ("" for no link).
    QList<QPair<QByteArray, QByteArray>> links() const
    {
        QList<QPair<QByteArray, QByteArray>> out;
        for (const Top& t : tops_)
            out.append({t.name, t.link});
        return out;
    }

private:
    struct Top {
        QByteArray name;
        QByteArray link; // as readlink says; empty when the folder is no link
        QByteArray real; // link as an absolute path; empty when the folder is no link
    };

    const Top& lookUp(QByteArrayView top)
    {
        for (const Top& t : tops_)
            if (t.name == top)
                return t;
        const QByteArray name = top.toByteArray();
        const QByteArray link = linkOf(name);
        tops_.push_back({name, link, realOf(link)});
        return tops_.back();
    }

    static QByteArray linkOf(const QByteArray& top)
    {
        char target[4096];
        const ssize_t n = ::readlink(top.constData(), target, sizeof target);
        return n > 0 && n < ssize_t(sizeof target) ? QByteArray(target, n) : QByteArray();
    }

    static QByteArray realOf(const QByteArray& link)
    {
        if (link.isEmpty())
            return {};
        QByteArray real = link.startsWith('/') ? link : "/" + link;
        while (real.size() > 1 && real.endsWith('/'))
            real.chop(1);
        return real;
    }

    std::deque<Top> tops_; // references stay valid as it grows
};

void addLines(const QByteArray& text, TopFolders& tops, std::vector<size_t>& hashes)
{
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    for (const char* line = begin; line < end;) {
        const char* nl = static_cast<const char*>(std::memchr(line, '\n', size_t(end - line)));
        if (!nl)
            nl = end;
        const QByteArrayView path(line, nl - line);
        line = nl + 1;
        if (path.startsWith('/') && path != "/.")
            hashes.push_back(tops.hashOf(path));
    }
}

// Diverted files: groups of three lines (original, new name, package); the
// installed file lives under the new name.
void addDiversions(const QByteArray& text, TopFolders& tops, std::vector<size_t>& hashes)
{
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); i += 3)
        if (lines[i].startsWith('/'))
            hashes.push_back(tops.hashOf(lines[i]));
}

// What the cache is saved under: where the lists are and when they changed.
QByteArray cacheKey(const Loaded& state)
{
    return state.adminDir + "\ninfo " + state.infoChanged + "\ndiversions " + state.diversionsChanged;
}

void readLists(Loaded& state, TopFolders& tops)
{
    const posix::UniqueFd admin(::open(state.adminDir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    posix::UniqueFd infoFd(admin.valid() ? ::openat(admin.get(), "info", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
    DIR* info = infoFd.valid() ? ::fdopendir(infoFd.get()) : nullptr;
    if (info)
        infoFd.release(); // the stream closes it
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
}

// Takes the hashes from the cache when it holds this very set of lists,
// otherwise reads the lists and saves them there for the next start.
void load(Loaded& state)
{
    state.hashes.clear();
    state.figures = {};
    const QByteArray key = cacheKey(state);
    posix::PackageFilesCacheContent cached;
    if (posix::loadPackageFilesCache(key, cached)) {
        state.hashes = std::move(cached.hashes);
        state.figures.lists = cached.lists;
        state.figures.fromCache = true;
    } else {
        TopFolders tops;
        readLists(state, tops);
        cached.hashes = state.hashes;
        cached.tops = tops.links();
        cached.lists = state.figures.lists;
        posix::savePackageFilesCache(key, cached);
    }
    state.set.fill(std::move(state.hashes));
    state.hashes = {};
    state.figures.paths = qsizetype(state.set.count());
    state.figures.bytes = qsizetype(state.set.bytes());
    state.read = true;
}

} // namespace

void PackageFiles::refresh()
{
    Loaded& state = loaded();
    const QByteArray dir = adminDir();
    const QByteArray info = stampOf(dir + "/info");
    const QByteArray diversions = stampOf(dir + "/diversions");
    if (state.checked && state.adminDir == dir && state.infoChanged == info && state.diversionsChanged == diversions)
        return;
    state.checked = true;
    state.adminDir = dir;
    state.infoChanged = info;
    state.diversionsChanged = diversions;
    state.read = false; // read at the next question: a walk that asks none pays nothing
}

bool PackageFiles::contains(QByteArrayView hostPath)
{
    Loaded& state = loaded();
    if (!state.checked)
        refresh();
    if (!state.read)
        load(state);
    QByteArrayView path = hostPath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return state.set.contains(pathHash(path));
}

void PackageFiles::forget()
{
    loaded() = Loaded();
}

PackageFiles::Figures PackageFiles::figures()
{
    Loaded& state = loaded();
    if (!state.checked)
        refresh();
    if (!state.read)
        load(state);
    return state.figures;
}

} // namespace platform
