#pragma once
// What the prefix finder asks of a folder: is it a prefix, where does it
// really live, which Wine architecture, how much disk it takes. Also the
// small file reads and folder listings the front-end readers need; every
// read is bounded, and nothing here follows a link below the folder given.

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

class PrefixFolder {
public:
    // The absolute path with every link resolved, or empty when it cannot
    // be resolved (missing, a loop, too long).
    static QByteArray realPath(const QByteArray& path);

    // True when dir holds a regular file system.reg and a folder drive_c,
    // neither of them a link.
    static bool holdsPrefix(const QByteArray& dir);

    // The "#arch=" value of dir's system.reg header ("win32", "win64");
    // empty when the header has none or the file cannot be read.
    static QString arch(const QByteArray& dir);

    // Bytes allocated to dir and everything below it, each inode once;
    // links are counted as links, never followed, and folders on another
    // file system are left out. Unreadable parts count as nothing.
    static quint64 sizeOnDisk(const QByteArray& dir);

    // The file's contents when it is a regular file of at most maxBytes;
    // empty otherwise.
    static QByteArray readSmallFile(const QByteArray& path, qint64 maxBytes = 1 << 20);

    // Names of the entries of dir (without "." and ".."), unsorted; empty
    // when dir cannot be read.
    static QList<QByteArray> entryNames(const QByteArray& dir);
};

} // namespace platform
