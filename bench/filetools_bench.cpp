// Times the empty-directory and zero-byte searches of the file tools
// (offscreen, through their windows) over one folder made drive c:.
//
// usage: filetools_bench DIR [dirs|files]   (both tools when no second word)

#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "platform/RunEnvironment.h"
#include "platform/MessageBoxService.h"
#include "platform/TickCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: filetools_bench DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VARNEL_DRIVES", QByteArray("c=") + argv[1]);
    QApplication app(argc, argv);
    // The finder's 200 ms pause for painting is not search work: let it pass at once.
    static quint32 clock = 0;
    platform::RunEnvironment environment = platform::RunEnvironment::current();
    environment.clock = [] { return clock += 1000; };
    platform::RunEnvironment::install(environment);

    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    QElapsedTimer t;
    if (only.isEmpty() || only == "dirs") {
        TEDirForm dirs;
        t.start();
        dirs.SrcBtnClick();
        std::printf("varnel empty folders      %8lld ms  (%d listed)\n", t.elapsed(), dirs.DirsModel->rowCount());
    }
    if (only.isEmpty() || only == "files") {
        TEFileForm files;
        t.start();
        files.SrcfileBtnClick();
        std::printf("varnel zero-byte files    %8lld ms  (%d listed)\n", t.elapsed(), files.FileModel->rowCount());
    }
    return 0;
}
