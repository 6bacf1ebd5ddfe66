// Times the registry on a generated system.reg of a fresh prefix's size
// (9 000 keys, 300 of them uninstall entries): the first parse, opening the
// uninstall dialog (building its whole tree), and one key lookup once the
// file is parsed.

#include "cleaners/traces/TUMCForm.h"
#include "platform/RegistryKey.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

namespace {

QByteArray generated(int keys, int uninstall)
{
    QByteArray out = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    for (int i = 0; i < keys - uninstall; ++i) {
        out += "[Software\\\\Classes\\\\CLSID\\\\{" + QByteArray::number(0x10000000 + i, 16)
            + "-0000-0000-c000-000000000046}\\\\InprocServer32] 1700000000\n#time=1d9c2f1a2b3c4d5\n"
              "@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n\"ThreadingModel\"=\"Both\"\n\n";
    }
    for (int i = 0; i < uninstall; ++i) {
        out += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\{APP-" + QByteArray::number(i)
            + "}] 1700000000\n#time=1d9c2f1a2b3c4d5\n\"DisplayName\"=\"Application " + QByteArray::number(i)
            + "\"\n\"DisplayVersion\"=\"1.0." + QByteArray::number(i)
            + "\"\n\"Publisher\"=\"Vendor\"\n"
              "\"InstallLocation\"=\"C:\\\\Program Files\\\\App\"\n\"UninstallString\"=\"C:\\\\Program "
              "Files\\\\App\\\\uninst.exe\"\n"
              "\"EstimatedSize\"=dword:00001000\n\"NoModify\"=dword:00000001\n\n";
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qunsetenv("WINEPREFIX");
    qputenv("VARNEL_REGISTRY", QFile::encodeName(dir.path()));
    const QByteArray text = generated(9000, 300);
    QFile f(dir.filePath(QStringLiteral("system.reg")));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();
    std::printf("system.reg: 9000 keys, 300 uninstall entries, %lld bytes\n", (long long)text.size());

    QElapsedTimer t;
    t.start();
    platform::RegistryKey key;
    key.open(platform::RegistryRoot::LocalMachine, QStringLiteral("Software\\Microsoft"), false);
    const qint64 parse = t.nsecsElapsed();
    std::printf("first parse:                    %8.2f ms\n", parse / 1e6);

    t.restart();
    {
        TUMCForm form;
        form.FormShow();
        const int programs = form.PTree->topLevelItem(0)->childCount();
        const qint64 open = t.nsecsElapsed();
        std::printf("uninstall dialog, %d programs: %8.2f ms (target < 150 ms)\n", programs, open / 1e6);
    }

    const int lookups = 20000;
    t.restart();
    int found = 0;
    for (int i = 0; i < lookups; ++i) {
        platform::RegistryKey k;
        found += k.open(
            platform::RegistryRoot::LocalMachine,
            QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{APP-%1}").arg(i % 300), false);
    }
    const qint64 each = t.nsecsElapsed() / lookups;
    std::printf("one key lookup after the parse: %8.2f us (%d found), %.0fx cheaper than the parse\n", each / 1e3,
                found, double(parse) / double(each));
    return 0;
}
