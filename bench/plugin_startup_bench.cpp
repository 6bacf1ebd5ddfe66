// Start-up cost of the plug-ins: creating the main window (which loads the
// Plugins folder, fills the plug-in menu and writes plugins.list) with an
// empty folder and with 50 plug-ins, and the loader alone over the same 50.
// Each round closes the window, so every library is really unloaded and the
// next round maps it afresh.
//
// usage: plugin_startup_bench [ROUNDS]

#include "app/TMainForm.h"
#include "platform/RunEnvironment.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBoxService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Median milliseconds of rounds runs of step.
double medianMs(int rounds, const std::function<void()>& step)
{
    QList<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir root;
    const QString plugins = root.path() + QStringLiteral("/Plugins");
    QDir().mkpath(plugins);
    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    platform::RunEnvironment environment = platform::RunEnvironment::current();
    environment.programFolder = QFile::encodeName(root.path());
    platform::RunEnvironment::install(environment);

    int items = 0;
    auto startAndClose = [&] {
        TMainForm form;
        items = int(form.PlugnMenuItem->actions().size());
        form.FormClose();
    };
    const double empty = medianMs(rounds, startAndClose);
    std::printf("main window, no plug-ins        %8.2f ms  (%d menu item)\n", empty, items);

    for (int i = 0; i < 50; ++i) {
        const QString copy = plugins + QStringLiteral("/bench%1.dll").arg(i, 2, 10, QLatin1Char('0'));
        QFile::copy(QStringLiteral(VARNEL_BENCH_PLUGIN), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const double fifty = medianMs(rounds, startAndClose);
    std::printf("main window, 50 plug-ins        %8.2f ms  (%d menu items)\n", fifty, items);

    int loaded = 0;
    const double loaderOnly = medianMs(rounds, [&] {
        TmxPluginLoader loader;
        loader.Extension = QStringLiteral("dll");
        loader.LoadFromFolder(platform::KnownFolders::appDir() + QStringLiteral("Plugins\\"), false);
        loaded = loader.PluginCount();
        loader.UnloadAll();
    });
    std::printf("loader alone, 50 plug-ins       %8.2f ms  (%d loaded)\n", loaderOnly, loaded);
    std::printf("per plug-in at start-up         %8.3f ms\n", (fifty - empty) / 50);
    std::printf("50 plug-ins / none              %8.2f x\n", fifty / empty);
    return 0;
}
