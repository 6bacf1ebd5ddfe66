// Times one whole junk search through the main window (offscreen): the walk,
// the list, the icons, the log and the status bar, as a person runs it.
//
// usage: search_bench DIR   (DIR becomes drive c:; every junk mask is on,
// the temporary folders are left out)

#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"
#include "platform/RunEnvironment.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBoxService.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: search_bench DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VARNEL_DRIVES", QByteArray("c=") + argv[1]);
    QTemporaryDir program;
    platform::RunEnvironment environment = platform::RunEnvironment::current();
    environment.programFolder = QFile::encodeName(program.path());
    platform::RunEnvironment::install(environment);
    QApplication app(argc, argv);
    // The window paints its buttons from the image library beside the
    // program, as a person's copy does: without it every paint would end in
    // an error box.
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/vrimgs.dll"),
                program.filePath(QStringLiteral("vrimgs.dll")));
    SetUpApplication();
    platform::MessageBoxService::setHandler([](const platform::MessageRequest& r) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(r.text));
        return platform::MsgResult::Ok;
    });
    for (const char* key : {"OLDFiles", "GIDFiles"})
        WriteSetting(QStringLiteral("Search"), QLatin1String(key), QStringLiteral("Yes"));
    WriteSetting(QStringLiteral("Search"), QStringLiteral("TempFolders"), QStringLiteral("No"));

    TMainForm form;
    form.show();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    form.FindActionExecute();
    const qint64 ms = t.elapsed();
    std::printf("search through the main window: %d files listed in %lld ms (%.1f us a file)\n",
                form.FileModel->rowCount(), ms,
                form.FileModel->rowCount() ? 1000.0 * ms / form.FileModel->rowCount() : 0.0);
    return 0;
}
