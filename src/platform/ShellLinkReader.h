#pragma once
// Reads a shortcut (.lnk) file in place of the shell's link object: the file
// safely, its bytes through formats::ShellLinkBytes with the ANSI code page
// of this environment (CodePage::ansi()).

#include "formats/ShellLinkBytes.h"

#include <QString>
#include <optional>

namespace platform {

using formats::ShellLinkData;

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
