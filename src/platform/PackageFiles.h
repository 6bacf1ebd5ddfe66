#pragma once
// What the system's package manager installed. Such files and folders are
// never deleted: the junk search lists them with the skip marker, the file
// tools do not list them, and a deletion of one is refused, whatever path
// it comes by.
//
// The set is read from dpkg's file lists ($DPKG_ADMINDIR/info/*.list, else
// /var/lib/dpkg, the folder dpkg itself honours; diverted files under the
// name they were moved to) and kept as one hash per path, sorted: some
// hundred thousand paths cost about a megabyte. Where there is no dpkg,
// nothing is protected this way. dpkg lists every folder on the way to each
// file it installs, so a folder that is not in the set holds nothing that is.
// The hashes are kept in a small cache file between runs (see
// posix/PackageFilesCache.h), taken only for the very lists it was made from.

#include <QByteArrayView>
#include <QtGlobal>

namespace platform {

class PackageFiles {
public:
    // True when hostPath (absolute, links resolved) is a file or folder an
    // installed package put there. Reads the lists at the first question
    // after they changed.
    static bool contains(QByteArrayView hostPath);

    // Notes whether the lists changed since the last reading (a look at two
    // dates; each walk calls it once); changed lists are read again at the
    // next question. Never fails: lists that cannot be read protect nothing.
    static void refresh();

    // Forgets what was read: the next question reads again (the cache
    // first). For tests, and a process that wants the memory back.
    static void forget();

    // What the reading found (reading the lists first when they are due):
    // paths kept, list files they came from, bytes held, and whether they
    // came from the cache rather than the lists.
    struct Figures {
        qsizetype paths = 0;
        qsizetype lists = 0;
        qsizetype bytes = 0;
        bool fromCache = false;
    };
    static Figures figures();
};

} // namespace platform
