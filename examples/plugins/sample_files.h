/* Emptying a folder the way the sample plug-ins need it: everything inside
 * goes, the folder itself stays; links are removed as links and never
 * followed; nothing on another mount is touched, a bind mount of the same
 * file system included. */
#ifndef VARNEL_SAMPLE_FILES_H
#define VARNEL_SAMPLE_FILES_H

#include <stdint.h>

typedef struct SampleTally {
    uint64_t files;  /* entries removed at any depth (files, links, folders) */
    uint64_t items;  /* entries of the folder itself removed with all they held */
    uint64_t kept;   /* entries of the folder itself that stayed (or partly) */
    uint64_t bytes;  /* sizes of the regular files whose last link was removed */
    uint64_t failed; /* entries at any depth that could not be removed */
} SampleTally;

/* Removes everything inside path and adds what it did to tally. A missing
 * folder is empty; returns 0 when path exists but is no folder (or a link). */
int sample_empty_folder(const char* path, SampleTally* tally);

/* The size of the regular files under path, walked the same way. */
uint64_t sample_folder_size(const char* path);

/* "12,3 МБ" style text of a byte count, in buf. */
void sample_format_size(uint64_t bytes, char* buf, unsigned size);

/* $name when it is set and absolute, else $HOME/fallback, in buf; returns
 * 0 when neither can be made. */
int sample_xdg_dir(const char* name, const char* fallback, char* buf, unsigned size);

#endif
