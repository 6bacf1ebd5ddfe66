#pragma once
// Find-first / find-next enumeration of one folder, as the Windows file
// search offers it.
//
// A pattern is a folder plus a mask ("c:\temp\*.tmp"). Entries come in name
// order without regard to case; "." and ".." come first for every folder but
// a drive root. Plain, read-only and archive entries are always admitted;
// hidden, system, volume-label and directory entries only when attrMask
// asks for them. The folder is read once; an entry is stat'ed (and its
// extended attributes read) only when its attributes, size or times are
// asked for, or when attrMask needs them to admit it.
//
// Links are never followed: a symbolic link is an entry of its own, a file
// even when it points to a folder, with its own size.

#include "platform/FileAttributes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace platform {

struct FileTimes {
    QDateTime creation; // birth time where the file system has one, else change time
    QDateTime lastAccess;
    QDateTime lastWrite;
};

class FileFinder {
public:
    FileFinder();
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // Starts enumerating pattern and moves to the first admitted entry.
    // Returns false when the folder does not exist, cannot be read, or
    // admits no entry; the finder is then closed. A running enumeration is
    // closed first.
    bool findFirst(const QString& pattern, quint32 attrMask);

    // Moves to the next admitted entry; false (and closed) at the end.
    bool findNext();

    // Ends the enumeration and releases the folder. Safe to call twice.
    void close();

    // The current entry. Valid only after a successful findFirst/findNext.
    QString name() const;
    bool isDirectory() const;

    // True for a folder that is the root of another mount (another device
    // or a bind mount); walkers never descend into one.
    bool isMountPoint() const;

    // faReadOnly, faHidden, faSysFile, faDirectory, faArchive (and
    // faMountPoint); the bits of user.DOSATTRIB where the entry has one.
    quint32 attributes() const;

    // Size in bytes (64-bit); a link's own size; 0 for a vanished entry.
    quint64 size() const;

    FileTimes times() const;

    // Host path of the current entry.
    QByteArray hostPath() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace platform
