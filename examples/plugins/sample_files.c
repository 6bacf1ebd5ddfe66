#define _GNU_SOURCE
#include "sample_files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

/* Where a folder lies: its mount (the mount id where the kernel reports
 * one; a bind mount of the same file system has its own) and device. */
typedef struct Place {
    uint64_t mount;
    int has_mount;
    dev_t dev;
} Place;

enum { STAT_MASK = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_NLINK | STATX_MNT_ID };

/* The entry name inside dir, itself (a link as a link), or dir for "". */
static int look(int dir, const char* name, struct statx* st)
{
    const int flags = (name[0] ? AT_SYMLINK_NOFOLLOW : AT_EMPTY_PATH) | AT_NO_AUTOMOUNT;
    return statx(dir, name, flags, STAT_MASK, st) == 0;
}

static Place place_of(const struct statx* st)
{
    Place p;
    p.has_mount = (st->stx_mask & STATX_MNT_ID) != 0;
    p.mount = p.has_mount ? st->stx_mnt_id : 0;
    p.dev = makedev(st->stx_dev_major, st->stx_dev_minor);
    return p;
}

static int same_place(const struct statx* st, const Place* place)
{
    const Place p = place_of(st);
    if (p.has_mount && place->has_mount)
        return p.mount == place->mount;
    return p.dev == place->dev;
}

/* The sub-folder name of dir, never through a link, only on place's mount. */
static int open_sub(int dir, const char* name, const Place* place)
{
    int fd = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct statx st;
    if (fd >= 0 && !(look(fd, "", &st) && same_place(&st, place))) {
        close(fd);
        fd = -1;
    }
    return fd;
}

/* Walks the folder open as fd (on place). With erase set, removes every
 * entry; else only adds up sizes. top: fd is the folder being emptied. */
static void walk(int fd, const Place* place, int erase, int top, SampleTally* tally)
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
        struct statx st;
        const int here = look(dirfd(dir), e->d_name, &st) && same_place(&st, place);
        const int isDir = here && S_ISDIR(st.stx_mode);
        if (isDir) {
            int sub = open_sub(dirfd(dir), e->d_name, place);
            if (sub >= 0)
                walk(sub, place, erase, 0, tally);
        } else if (here && !erase && S_ISREG(st.stx_mode)) {
            tally->bytes += st.stx_size;
        }
        if (!erase)
            continue;
        /* Another mount's root, or what could not be looked at, stays. */
        if (here && unlinkat(dirfd(dir), e->d_name, isDir ? AT_REMOVEDIR : 0) == 0) {
            tally->files++;
            tally->items += top ? 1 : 0;
            /* Only a file's last name frees its space. */
            if (S_ISREG(st.stx_mode) && st.stx_nlink == 1)
                tally->bytes += st.stx_size;
        } else {
            tally->failed++;
            tally->kept += top ? 1 : 0;
        }
    }
    closedir(dir);
}

static int open_folder(const char* path, Place* place)
{
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct statx st;
    if (fd >= 0 && look(fd, "", &st)) {
        *place = place_of(&st);
        return fd;
    }
    if (fd >= 0)
        close(fd);
    return -1;
}

int sample_empty_folder(const char* path, SampleTally* tally)
{
    Place place;
    int fd = open_folder(path, &place);
    if (fd < 0)
        return errno == ENOENT;
    walk(fd, &place, 1, 1, tally);
    return 1;
}

uint64_t sample_folder_size(const char* path)
{
    SampleTally tally = {0, 0, 0, 0, 0};
    Place place;
    int fd = open_folder(path, &place);
    if (fd >= 0)
        walk(fd, &place, 0, 1, &tally);
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
