#include "platform/ShellLinkReader.h"

#include "platform/CodePage.h"
#include "platform/posix/Handles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// More than any shortcut holds, unless padded: a larger file is no
// shortcut this program reads.
constexpr qint64 kReadLimit = 4 * 1024 * 1024;

// The whole shortcut file at winPath, reached from its drive's root without
// following a link (a link named like a shortcut is not read through);
// nullopt when it is missing, not a regular file, larger than kReadLimit or
// cannot be read. Both readers below get these bytes: the file is read
// once.
std::optional<QByteArray> readWhole(const QString& winPath)
{
    const std::optional<posix::AnchoredEntry> entry = posix::anchor(winPath);
    if (!entry)
        return std::nullopt;
    // O_NONBLOCK: a FIFO carrying a shortcut's name must not stop the search.
    const posix::UniqueFd fd(::openat(entry->parent.get(), entry->name.constData(),
                                      O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    return posix::readRegularFile(fd.get(), kReadLimit);
}

} // namespace

std::optional<ShellLinkData> ShellLinkReader::read(const QString& winPath)
{
    try {
        const std::optional<QByteArray> bytes = readWhole(winPath);
        return bytes ? fromBytes(*bytes) : std::nullopt;
    } catch (...) {
        return std::nullopt; // out of memory on a hostile file: unreadable, as any damaged one
    }
}

std::optional<ShellLinkData> ShellLinkReader::fromBytes(const QByteArray& bytes)
{
    return formats::ShellLinkBytes::parse(bytes, CodePage::ansi());
}

} // namespace platform
