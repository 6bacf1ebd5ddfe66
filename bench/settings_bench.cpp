// Times the settings file with long lists (offscreen): reading a list of
// 10 000 excluded folders, the options dialog opening and applying with it,
// single keys read from the large file, and a whole junk search through the
// main window that applies the exclusions, set against the same search
// without them. Target: under 100 ms for loading the list and for what the
// exclusions add to a search.
//
// usage: settings_bench [ENTRIES] [FOLDERS] [FILES_PER_FOLDER]
//        (defaults 10000, 50, 20: a search that finds 1 000 files)

#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"
#include "app/TFoundFileModel.h"
#include "formats/IniDocument.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBoxService.h"
#include "scan/JunkSearch.h"
#include "scan/ProtectionRules.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"
#include "settings/SettingsTransaction.h"
#include "settings/TOptionsForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

int argOr(int argc, char** argv, int at, int def)
{
    return argc > at ? std::atoi(argv[at]) : def;
}

// A tree of folders each holding junk files for the default masks.
void makeTree(const QString& root, int folders, int files)
{
    for (int d = 0; d < folders; ++d) {
        const QString folder = QStringLiteral("%1/dir%2").arg(root).arg(d);
        QDir().mkpath(folder);
        for (int f = 0; f < files; ++f) {
            QFile file(QStringLiteral("%1/file%2.tmp").arg(folder).arg(f));
            if (file.open(QIODevice::WriteOnly))
                file.write("x");
        }
    }
}

// entries excluded folders, all enabled; the last one protects dir0.
void writeExclusions(int entries)
{
    QList<SettingsListEntry> dirs;
    for (int n = 0; n < entries - 1; ++n)
        dirs.append({QStringLiteral("c:\\Документы\\Проект %1\\сборка").arg(n), true});
    dirs.append({QStringLiteral("c:\\dir0\\"), true});
    SettingsTransaction t;
    WriteSettingsList(t, SettingsList::ExcludedDirs, dirs);
    t.commit();
}

void clearExclusions()
{
    SettingsTransaction t;
    WriteSettingsList(t, SettingsList::ExcludedDirs, {});
    t.commit();
}

// Milliseconds of one search through the main window, and the rows found
// and protected.
qint64 search(TMainForm& form, int& rows, int& marked)
{
    QElapsedTimer t;
    t.start();
    form.FindActionExecute();
    const qint64 ms = t.elapsed();
    rows = form.FileModel->rowCount();
    marked = 0;
    for (int row = 0; row < rows; ++row)
        marked += form.FileModel->rowAt(row).markers > 0 ? 1 : 0;
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    const int entries = argOr(argc, argv, 1, 10000);
    const int folders = argOr(argc, argv, 2, 50);
    const int files = argOr(argc, argv, 3, 20);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir drive, program;
    qputenv("VARNEL_DRIVES", "c=" + QFile::encodeName(drive.path()));
    qunsetenv("VARNEL_WINDIR");
    platform::KnownFolders::overrideAppDir(QFile::encodeName(program.path()));
    QApplication app(argc, argv);
    SetUpApplication();
    platform::MessageBoxService::setHandler([](const platform::MessageRequest& r) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(r.text));
        return platform::MsgResult::Ok;
    });
    makeTree(drive.path(), folders, files);
    WriteSetting(QStringLiteral("Search"), QStringLiteral("TempFolders"), QStringLiteral("No"));

    QElapsedTimer t;
    {
        TOptionsForm dialog; // the first window shown sets up fonts and styles
        t.start();
        dialog.show();
        QCoreApplication::processEvents();
        std::printf("options dialog opened with no lists              %6lld ms\n", t.restart());
    }
    t.restart();
    writeExclusions(entries);
    const qint64 saveMs = t.restart();
    const qint64 bytes = QFileInfo(program.path() + QStringLiteral("/varnel.ini")).size();
    std::printf("settings file: %d excluded folders, %lld bytes\n", entries, bytes);
    std::printf("save the list (one atomic replacement)           %6lld ms\n", saveMs);

    {
        QFile ini(program.path() + QStringLiteral("/varnel.ini"));
        ini.open(QIODevice::ReadOnly);
        const QByteArray raw = ini.readAll();
        t.restart();
        for (int i = 0; i < 10; ++i)
            formats::IniDocument::parse(raw);
        std::printf("parse the file alone (mean of 10)                %6.1f ms\n", t.restart() / 10.0);
    }
    // The first reading parses the file; later ones find the same bytes.
    {
        QFile ini(program.path() + QStringLiteral("/varnel.ini"));
        if (ini.open(QIODevice::Append))
            ini.write("; changed by hand\r\n");
    }
    t.restart();
    QList<SettingsListEntry> list = ReadSettingsList(SettingsList::ExcludedDirs);
    std::printf("load the list, first reading (parse)             %6lld ms  (%lld entries)\n", t.restart(),
                qint64(list.size()));
    list = ReadSettingsList(SettingsList::ExcludedDirs);
    std::printf("load the list again (file unchanged)             %6lld ms\n", t.restart());
    for (int i = 0; i < 100; ++i)
        ReadSetting(QStringLiteral("View"), QStringLiteral("XPMenu"), QStringLiteral("Yes"));
    std::printf("one switch read from the large file (mean of 100) %6.2f ms\n", t.restart() / 100.0);

    {
        TOptionsForm dialog;
        t.restart();
        dialog.show();
        QCoreApplication::processEvents();
        std::printf("options dialog opened with the list              %6lld ms\n", t.restart());
        dialog.FormShow();
        std::printf("  of which loading the dialog again              %6lld ms\n", t.restart());
        dialog.ApplyBtnClick();
        std::printf("options dialog Apply (one atomic replacement)    %6lld ms\n", t.restart());
    }

    TMainForm form;
    form.show();
    QCoreApplication::processEvents();
    int rows = 0, marked = 0;
    search(form, rows, marked); // warm the caches of the file system and the icons
    QStringList paths;
    for (int row = 0; row < rows; ++row)
        paths.append(form.FileModel->rowAt(row).path);
    t.restart();
    const ProtectionRules rules;
    const qint64 readMs = t.restart();
    for (const QString& path : paths) {
        core::Protection why = core::Protection::None;
        quint8 markers = 0;
        rules.markExcluded(path, why, markers);
    }
    const qint64 markMs = t.elapsed() + readMs;
    const qint64 withMs = search(form, rows, marked);
    std::printf("search applying the exclusions: %d files, %d protected  %6lld ms\n", rows, marked, withMs);
    std::printf("  of which marking the excluded rows             %6lld ms\n", markMs);
    std::printf("    reading the list                             %6lld ms\n", readMs);
    std::printf("    comparing %d rows with %d folders            %6lld ms\n", rows, entries, markMs - readMs);
    clearExclusions();
    const qint64 withoutMs = search(form, rows, marked);
    std::printf("same search without exclusions: %d files, %d protected  %6lld ms\n", rows, marked, withoutMs);
    std::printf("added by %d exclusions                            %6lld ms\n", entries, withMs - withoutMs);
    return 0;
}
