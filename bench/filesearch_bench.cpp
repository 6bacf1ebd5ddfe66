// One TEasyFileSearch walk over a folder, as the browser cleaners run it
// (sub-folders, read-only, directory and archive entries), with a handler
// that counts what is kept. Prints the number of entries kept.

#include "cleaners/browser/TEasyFileSearch.h"
#include "platform/PathMapper.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: filesearch_bench DIR [MASK]\n");
        return 2;
    }
    TEasyFileSearch search;
    search.setRootPath(platform::PathMapper::toWindows(QByteArray(argv[1])));
    search.setFilter(argc > 2 ? QString::fromUtf8(argv[2]) : QStringLiteral("*.tmp"));
    search.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForDirectory, okLookForArchiveFile};
    long kept = 0;
    search.OnFileFinded = [&](const TFileInformations&) { ++kept; };
    search.Execute();
    std::printf("%ld\n", kept);
    return 0;
}
