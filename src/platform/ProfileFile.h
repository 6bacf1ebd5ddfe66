#pragma once
// The program's own profile (INI file) functions: one file operation per
// call, nothing kept open or cached between calls.

#include <QByteArray>
#include <QString>

namespace platform {

class ProfileFile {
public:
    // The value of key in section of the file at hostPath, cut to
    // bufferChars - 1 characters; def when the file, section or key is
    // missing or the file cannot be read.
    static QString readString(const QByteArray& hostPath, const QString& section, const QString& key,
                              const QString& def, int bufferChars = 2048);

    // Stores value under section/key, creating the file, section or key as
    // needed. The file is replaced atomically. Returns false when the file
    // exists but cannot be read (it is then left alone) or cannot be written.
    static bool writeString(const QByteArray& hostPath, const QString& section, const QString& key,
                            const QString& value);

    // Removes the section with all its keys. Returns true also when there was
    // no such section (or no file, which is not created); false when the
    // file could not be read or written.
    static bool removeSection(const QByteArray& hostPath, const QString& section);
};

} // namespace platform
