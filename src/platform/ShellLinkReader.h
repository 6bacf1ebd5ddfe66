#pragma once
// Reads a shortcut (.lnk) file in place of the shell's link object. Reads
// only: nothing is ever written back, and a moved target is not searched for.
// ANSI strings are read in the ANSI code page (CodePage::ansi()), double-byte
// code pages included; every string ends at its first NUL.

#include <QString>
#include <optional>

namespace platform {

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

class ShellLinkReader {
public:
    // The shortcut at winPath, reached from its drive's root as spelled and
    // without following a link, and read once; nullopt when it does not
    // exist or is not a readable shortcut (damaged, truncated, another kind
    // of file, a link, larger than 4 MiB, a block claiming more bytes than
    // the file holds, an offset or string leaving its block).
    // Never throws: a file that would make the reader run out of memory is
    // unreadable too.
    static std::optional<ShellLinkData> read(const QString& winPath);

    // The shortcut held in bytes, checked as read() checks a file's bytes:
    // every block and every offset inside the link info must lie inside
    // bytes before liblnk sees them. May throw std::bad_alloc; read() and
    // the fuzz target catch it.
    static std::optional<ShellLinkData> fromBytes(const QByteArray& bytes);
};

} // namespace platform
