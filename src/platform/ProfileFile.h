#pragma once
// The program's own profile (INI file) functions: each call reads the file
// as it is at that moment and, when it changes something, replaces the file
// atomically. Nothing is kept open between calls. The last file parsed is
// remembered with its bytes, and the parse is reused only when the file
// still holds exactly those bytes, so a large file is not parsed again for
// every key without ever reading stale values.

#include "platform/AtomicFile.h"
#include "formats/IniDocument.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

class ProfileFile {
public:
    // Loads the file at hostPath into doc. Missing leaves doc empty (a new
    // file); Unreadable (something is there that cannot be read as a file)
    // leaves doc empty too, and the file must then not be written.
    static AtomicFile::ReadResult load(const QByteArray& hostPath, formats::IniDocument& doc);

    // The value of key in section, cut to bufferChars - 1 characters; def,
    // with its trailing blanks removed, when the section or key is missing.
    static QString readString(const formats::IniDocument& doc, const QString& section, const QString& key, const QString& def,
                              int bufferChars = 2048);

    // The same, read from the file at hostPath; a file that is missing or
    // cannot be read gives def.
    static QString readString(const QByteArray& hostPath, const QString& section, const QString& key,
                              const QString& def, int bufferChars = 2048);

    // Stores value under section/key, creating the file, section or key as
    // needed. Returns false when the file exists but cannot be read (it is
    // then left alone), cannot be written, or the name was refused.
    static bool writeString(const QByteArray& hostPath, const QString& section, const QString& key,
                            const QString& value);

    // Removes the section with its keys (its comments stay). Returns true
    // also when there was no such section (or no file, which is not
    // created); false when the file could not be read or written.
    static bool removeSection(const QByteArray& hostPath, const QString& section);

    // What one edit of a loaded document did.
    struct Outcome {
        bool changed = false; // the document differs: the file must be written
        bool refused = false; // a part of the edit was refused
    };

    // Loads the file, lets edit change the document and, when it changed
    // anything, replaces the file once with the result. Returns false when
    // the file could not be read or written (nothing changed then) or a part
    // of the edit was refused (the rest is written).
    static bool change(const QByteArray& hostPath, const std::function<Outcome(formats::IniDocument&)>& edit);
};

} // namespace platform
