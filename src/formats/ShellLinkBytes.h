#pragma once
// A shortcut (.lnk) file's bytes, read in place of the shell's link object.
// Reads only; a moved target is not searched for. ANSI strings are read in
// the code page given, double-byte code pages included; every string ends
// at its first NUL. Every block and every offset inside the link info must
// lie inside the bytes before liblnk sees them.

#include <QByteArray>
#include <QString>
#include <optional>

namespace formats {

struct ShellLinkData {
    QString target; // the local or network path the shortcut points to; empty for a shell object
    QString arguments;
    QString workingDirectory;
    QString description;
    QString iconLocation;
    int iconIndex = 0;
    quint32 showCommand = 1; // SW_SHOWNORMAL
    quint16 hotKey = 0;      // low byte virtual key, high byte HOTKEYF_* bits
};

class ShellLinkBytes {
public:
    // The shortcut held in bytes, its ANSI strings read in codePage;
    // nullopt when it is no readable shortcut (damaged, truncated, another
    // kind of file, a block claiming more bytes than there are, an offset or
    // string leaving its block). May throw std::bad_alloc on hostile bytes.
    static std::optional<ShellLinkData> parse(const QByteArray& bytes, int codePage);
};

} // namespace formats
