// One TmFileScan walk over a folder, without any window: the walker as the
// junk search uses it, with a message pump that does nothing.

#include "platform/PathMapper.h"
#include "scan/TmFileScan.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_bench DIR [MASK]\n");
        return 2;
    }
    const QString folder = platform::PathMapper::toWindows(QByteArray(argv[1]));
    const QString mask = argc > 2 ? QString::fromUtf8(argv[2]) : QStringLiteral("*.tmp");
    TmFileScan scan;
    scan.SearchFilter = {folder + (folder.endsWith(u'\\') ? QString() : QStringLiteral("\\")) + mask};
    long found = 0;
    scan.OnFileFound = [&](const QString&) { ++found; };
    scan.Execute();
    std::printf("%ld\n", found);
    return 0;
}
