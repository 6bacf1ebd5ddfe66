#define _GNU_SOURCE
#include "sample_files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* Walks the folder open as fd (on device dev). With erase set, removes
 * every entry; else only adds up sizes. */
static void walk(int fd, dev_t dev, int erase, SampleTally* tally)
{
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return;
    }
    struct dirent* e;
    while ((e = readdir(dir)) != NULL) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_dev != dev) {
            tally->failed += erase ? 1 : 0;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            int sub = openat(dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0)
                walk(sub, dev, erase, tally);
        } else if (S_ISREG(st.st_mode)) {
            tally->bytes += (uint64_t)st.st_size;
        }
        if (!erase)
            continue;
        if (unlinkat(dirfd(dir), e->d_name, S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) == 0)
            tally->files++;
        else
            tally->failed++;
    }
    closedir(dir);
}

static int open_folder(const char* path, dev_t* dev)
{
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0) {
        *dev = st.st_dev;
        return fd;
    }
    if (fd >= 0)
        close(fd);
    return -1;
}

int sample_empty_folder(const char* path, SampleTally* tally)
{
    dev_t dev;
    int fd = open_folder(path, &dev);
    if (fd < 0)
        return errno == ENOENT;
    walk(fd, dev, 1, tally);
    return 1;
}

uint64_t sample_folder_size(const char* path)
{
    SampleTally tally = {0, 0, 0};
    dev_t dev;
    int fd = open_folder(path, &dev);
    if (fd >= 0)
        walk(fd, dev, 0, &tally);
    return tally.bytes;
}

void sample_format_size(uint64_t bytes, char* buf, unsigned size)
{
    static const char* const units[] = {"байт", "КБ", "МБ", "ГБ", "ТБ"};
    if (bytes < 1024) {
        snprintf(buf, size, "%llu %s", (unsigned long long)bytes, units[0]);
        return;
    }
    double value = (double)bytes;
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        unit++;
    }
    snprintf(buf, size, "%.1f %s", value, units[unit]);
    char* point = strchr(buf, '.');
    if (point)
        *point = ','; /* the Russian decimal comma */
}

int sample_xdg_dir(const char* name, const char* fallback, char* buf, unsigned size)
{
    const char* value = getenv(name);
    if (value && value[0] == '/')
        return snprintf(buf, size, "%s", value) < (int)size;
    const char* home = getenv("HOME");
    if (!home || home[0] != '/')
        return 0;
    return snprintf(buf, size, "%s/%s", home, fallback) < (int)size;
}
