#pragma once
// Replaces a file's contents so that a crash at any moment leaves either the
// old file or the new one, never a torn one.

#include <QByteArray>
#include <functional>

namespace platform {

class AtomicFile {
public:
    // Writes data to a new file beside hostPath (named after it plus
    // ".XXXXXX.new", six random letters or digits), flushes it to disk and
    // renames it over hostPath (a link of this user's is kept and its
    // target replaced, while a link someone else owns is never written
    // through: false; the
    // old file's permissions are kept, and so are its owner and group where
    // this process may give them, as root always may). Returns false,
    // leaving the old file untouched and no temporary file behind, when any
    // step fails.
    static bool write(const QByteArray& hostPath, const QByteArray& data);

    enum class ReadResult { Ok, Missing, Unreadable };

    // Reads the whole file into data. Missing when there is no file at
    // hostPath (a dangling link counts as one), Unreadable when something
    // is there that cannot be read as a regular file.
    static ReadResult read(const QByteArray& hostPath, QByteArray& data);

    // Deletes the new files that writes of hostPath left behind when the
    // program was killed mid-write: entries beside the file the writes land
    // in (a link's target) named like write's new files, that are regular
    // files of this user (for root also of the file's owner, as write gives
    // them) with one link, unchanged for at least
    // minAgeSeconds (so another instance's write in progress is spared).
    // Returns how many were deleted.
    static int removeStaleTemporaries(const QByteArray& hostPath, int minAgeSeconds);

    // Deletes the regular file (or link) at hostPath; never a folder.
    static bool removeFile(const QByteArray& hostPath);
};

} // namespace platform
