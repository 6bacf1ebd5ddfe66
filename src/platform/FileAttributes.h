#pragma once
// File attribute bits of the Windows file search, as the program sees them.
// The posix layer derives them from the file type and mode bits, or from the
// user.DOSATTRIB extended attribute where an entry carries one.

#include <QtGlobal>

namespace platform {

enum FileAttribute : quint32 {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    // A folder that is the root of another mounted file system. Walkers never
    // descend into one, the way a reparse point is left alone on Windows.
    faMountPoint = 0x400,
    faAnyFile = 0x3F,
};

// The attributes an enumeration only admits when asked for; plain,
// read-only and archive entries are always admitted.
constexpr quint32 faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;

} // namespace platform
