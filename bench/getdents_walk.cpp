// The floor for any walker: openat relative to the parent folder, getdents64
// and close for every folder, telling folders by d_type, nothing else. Counts names that end in the
// given suffix (ASCII, without regard to case) so the work is not optimized
// away and the count can be checked against the other walkers.

#include <cstdio>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace {

long matches = 0;
const char* suffix = ".tmp";
size_t suffixLen = 4;

bool endsWith(const char* name)
{
    const size_t n = std::strlen(name);
    return n >= suffixLen && strcasecmp(name + n - suffixLen, suffix) == 0;
}

// Walks the folder name inside parent (AT_FDCWD with a path for the start).
void walk(int parent, const char* name)
{
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(8) char buf[32 * 1024];
    std::string subdirs; // names, NUL-separated: walked after the folder is read, like the others
    for (;;) {
        const ssize_t n = ::getdents64(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto* de = reinterpret_cast<const dirent64*>(buf + off);
            off += de->d_reclen;
            const char* name = de->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if (endsWith(name))
                ++matches;
            if (de->d_type == DT_DIR) {
                subdirs += name;
                subdirs += '\0';
            }
        }
    }
    for (size_t i = 0; i < subdirs.size(); i += std::strlen(subdirs.c_str() + i) + 1)
        walk(fd, subdirs.c_str() + i);
    ::close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: getdents_walk DIR [SUFFIX]\n");
        return 2;
    }
    if (argc > 2) {
        suffix = argv[2];
        suffixLen = std::strlen(suffix);
    }
    walk(AT_FDCWD, argv[1]);
    std::printf("%ld\n", matches);
    return 0;
}
