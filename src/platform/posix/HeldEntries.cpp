#include "posix/HeldEntries.h"

#include "posix/Handles.h"

#include <algorithm>
#include <cstdio>
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
template <class Each>
void eachNumberIn(int fd, Each each)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
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
    const int fds = ::openat(proc, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds < 0)
        return; // another user's process: not ours to look into
    eachNumberIn(fds, [&](int folder, const char* name) { addStat(folder, name, held); });
}

// The mapped files of /proc/PID/maps: "start-end perms offset MAJ:MIN inode path".
void addMappings(int proc, Held& held)
{
    const int fd = ::openat(proc, "maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    FILE* maps = ::fdopen(fd, "r");
    if (!maps) {
        ::close(fd);
        return;
    }
    char line[4096 + 256];
    quint64 lastDevice = 0, lastInode = 0;
    while (std::fgets(line, sizeof line, maps)) {
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(line, "%*s %*s %*s %x:%x %llu", &major, &minor, &inode) != 3 || inode == 0)
            continue;
        const quint64 device = makedev(major, minor);
        if (device == lastDevice && inode == lastInode)
            continue; // a library's segments follow one another
        lastDevice = device;
        lastInode = inode;
        held.emplace_back(device, quint64(inode));
        if (!std::strchr(line, '\n')) // a path longer than the buffer: skip the rest of the line
            for (int c = std::fgetc(maps); c != EOF && c != '\n'; c = std::fgetc(maps)) {
            }
    }
    std::fclose(maps);
}

} // namespace

HeldEntries HeldEntries::snapshot()
{
    HeldEntries out;
    const int procFd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0)
        return out;
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    Held& held = out.held_;
    eachNumberIn(procFd, [&](int procs, const char* pid) {
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
