#include "platform/RecentFiles.h"

#include "platform/AtomicFile.h"
#include "platform/KnownFolders.h"

namespace platform {

namespace {

// What GTK writes for a list without bookmarks.
const QByteArray kEmptyList = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    "></xbel>\n");

} // namespace

QByteArray RecentFiles::hostPath()
{
    return KnownFolders::dataHome() + "/recently-used.xbel";
}

bool RecentFiles::clear()
{
    const QByteArray path = hostPath();
    QByteArray old;
    const AtomicFile::ReadResult read = AtomicFile::read(path, old);
    if (read == AtomicFile::ReadResult::Missing)
        return true;
    if (read == AtomicFile::ReadResult::Unreadable)
        return false; // not a file we know how to replace: leave it be
    return old == kEmptyList || AtomicFile::write(path, kEmptyList);
}

} // namespace platform
