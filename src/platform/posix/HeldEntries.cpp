#include "posix/HeldEntries.h"

#include "posix/Handles.h"

#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform::posix {

namespace {

using Held = std::vector<std::pair<quint64, quint64>>;

bool isNumber(const char* name)
{
    if (!*name)
        return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// Calls each(folder, name) for the numbered names in the open folder fd,
// which it takes over and closes.
template <class Each> void eachNumberIn(UniqueFd fd, Each each)
{
    DIR* dir = fd.valid() ? ::fdopendir(fd.get()) : nullptr;
    if (!dir)
        return;
    fd.release(); // the stream closes it
    while (const dirent* e = ::readdir(dir))
        if (isNumber(e->d_name))
            each(::dirfd(dir), e->d_name);
    ::closedir(dir);
}

void addStat(int at, const char* name, Held& held)
{
    struct stat st;
    if (::fstatat(at, name, &st, 0) == 0) // through the magic link, to what it stands for
        held.emplace_back(quint64(st.st_dev), quint64(st.st_ino));
}

// Every open descriptor of the process whose /proc folder is proc.
void addDescriptors(int proc, Held& held)
{
    UniqueFd fds(::openat(proc, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fds.valid())
        return; // another user's process: not ours to look into
    eachNumberIn(std::move(fds), [&](int folder, const char* name) { addStat(folder, name, held); });
}

// A hex or decimal number at text, moving text past it.
quint64 numberAt(const char*& text, const char* end, int base)
{
    quint64 n = 0;
    for (; text < end; ++text) {
        const char c = *text;
        const int digit = c >= '0' && c <= '9' ? c - '0' : (base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
        if (digit < 0)
            break;
        n = n * quint64(base) + quint64(digit);
    }
    return n;
}

// Moves text past the next count fields (and the blanks after them).
void skipFields(const char*& text, const char* end, int count)
{
    for (int i = 0; i < count; ++i) {
        while (text < end && *text != ' ')
            ++text;
        while (text < end && *text == ' ')
            ++text;
    }
}

// One line of /proc/PID/maps: "start-end perms offset MAJ:MIN inode path".
void addMapping(const char* line, const char* end, Held& held)
{
    skipFields(line, end, 3);
    const quint64 major = numberAt(line, end, 16);
    if (line == end || *line++ != ':')
        return;
    const quint64 minor = numberAt(line, end, 16);
    skipFields(line, end, 1);
    const quint64 inode = numberAt(line, end, 10);
    if (inode == 0)
        return; // anonymous memory
    const std::pair<quint64, quint64> entry(makedev(major, minor), inode);
    if (held.empty() || held.back() != entry) // a library's segments follow one another
        held.push_back(entry);
}

// The mapped files of the process whose /proc folder is proc.
void addMappings(int proc, Held& held)
{
    const UniqueFd fd(::openat(proc, "maps", O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return;
    static thread_local std::vector<char> buf(256 * 1024);
    size_t kept = 0; // the start of a line cut by the last read
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf.data() + kept, buf.size() - kept);
        if (n <= 0)
            return;
        const char* const end = buf.data() + kept + n;
        const char* line = buf.data();
        for (const char* nl; (nl = static_cast<const char*>(std::memchr(line, '\n', size_t(end - line))));
             line = nl + 1)
            addMapping(line, nl, held);
        kept = size_t(end - line);
        if (kept == buf.size())
            kept = 0; // one line longer than the buffer: drop it
        std::memmove(buf.data(), line, kept);
    }
}

} // namespace

HeldEntries HeldEntries::snapshot()
{
    HeldEntries out;
    UniqueFd procFd(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!procFd.valid())
        return out;
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    Held& held = out.held_;
    eachNumberIn(std::move(procFd), [&](int procs, const char* pid) {
        const UniqueFd proc(::openat(procs, pid, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!proc.valid())
            return; // ended meanwhile
        ++out.processes_;
        if (self != pid)
            addDescriptors(proc.get(), held);
        addStat(proc.get(), "cwd", held);
        addStat(proc.get(), "root", held);
        addMappings(proc.get(), held);
    });
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    held.shrink_to_fit();
    return out;
}

bool HeldEntries::holds(quint64 device, quint64 inode) const
{
    return std::binary_search(held_.begin(), held_.end(), std::make_pair(device, inode));
}

} // namespace platform::posix
