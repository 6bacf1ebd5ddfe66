// The Wine, Proton and Steam leftovers finder end to end: a fake home with
// two Steam libraries, shortcuts, Wine's menu files and caches, live ones
// beside the leftovers and traps among them; varnel-cli lists exactly the
// leftovers and deletes exactly the rows it may.

#include "formats/SteamShortcuts.h"
#include "cleaners/wine/TWineLeftForm.h"
#include "support/Sandbox.h"
#include "widgets/ReportListView.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStandardItemModel>
#include <QToolButton>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/time.h>
#include <unistd.h>

class TestWineLeftovers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFinderListsExactlyTheLeftoversAndDeletesOnlyWhatItMay();
    void theWindowTicksTheChosenRowsAndDeletesOnlyTheTicked();
};

// moc reads no further: the byte tables below are not for its tokenizer.
#ifndef Q_MOC_RUN

namespace {

struct Run {
    int code = -1;
    QJsonObject json;
};

Run runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VARNEL_BUILD_BIN "/varnel-cli"), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    return r;
}

QByteArray int32(qint32 v)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(quint32(v) >> (8 * i));
    return out;
}

// shortcuts.vdf with one entry that has an app id and one that has not.
QByteArray shortcutsVdf(qint32 appId)
{
    QByteArray v("\0shortcuts\0", 11);
    v += QByteArray("\0" "0\0", 3) + '\x02' + QByteArray("appid\0", 6) + int32(appId)
        + QByteArray("\x01" "AppName\0Live\0", 14) + '\x08';
    v += QByteArray("\0" "1\0", 3) + QByteArray("\x01" "Exe\0\"/g/old.exe\"\0", 18)
        + QByteArray("\x01" "AppName\0Old\0", 13) + '\x08';
    return v + "\x08\x08";
}

QByteArray desktopEntry(const QByteArray& exec, const QByteArray& icon)
{
    return "[Desktop Entry]\nName=" + icon + "\nExec=" + exec + "\nType=Application\nIcon=" + icon + "\n";
}

// kind -> rows "relative path (selected|-)[ in use]" of a report.
QStringList rowsOf(const QJsonObject& report, const QByteArray& root)
{
    QStringList rows;
    for (const QJsonValue& v : report.value("entries").toArray()) {
        QString path = v["hostPath"].toString();
        path.remove(0, root.size() + 1);
        rows << v["kind"].toString() + u' ' + path + (v["selected"].toBool() ? QString() : QStringLiteral(" -"))
                    + (v["protected"].toBool() ? u' ' + v["reason"].toString() : QString());
    }
    rows.sort();
    return rows;
}

QJsonObject entryAt(const QJsonObject& report, const QString& hostPathEnd)
{
    for (const QJsonValue& v : report.value("entries").toArray())
        if (v["hostPath"].toString().endsWith(hostPathEnd))
            return v.toObject();
    return {};
}

const QByteArray steam = "home/.local/share/Steam/steamapps/";
const QByteArray lib2 = "lib2/steamapps/";
const QByteArray apps = "home/data/applications/";
const QByteArray merged = "home/config/menus/applications-merged/";

struct Home {
    QByteArray root;
    quint32 legacyId = 0;
    int lock = -1;
};

void mustLink(const QByteArray& target, const QByteArray& link)
{
    if (::symlink(target.constData(), link.constData()) != 0)
        qFatal("cannot link %s", link.constData());
}

// Builds the fake home; returns the descriptor that holds compatdata/600's lock.
Home buildHome(const Sandbox& box)
{
    Home home;
    qputenv("XDG_CONFIG_HOME", box.path("home/config"));
    qputenv("XDG_CACHE_HOME", box.path("home/cache"));
    home.root = box.path("x").chopped(2);
    box.makeFile(steam + "libraryfolders.vdf",
                 "\"libraryfolders\"\n{\n \"0\" { \"path\" \"" + box.path("home/.local/share/Steam")
                     + "\" }\n \"1\" { \"path\" \"" + box.path("lib2") + "\" }\n}\n");
    // Live: installed here with its prefix in the other library, installed
    // there with its shader cache here, downloading, Steam's own, a shortcut.
    box.makeFile(steam + "appmanifest_100.acf", "\"AppState\" { \"name\" \"Hundred\" }");
    box.makeFile(lib2 + "compatdata/100/pfx/system.reg");
    box.makeFile(lib2 + "appmanifest_200.acf", "\"AppState\" { \"name\" \"Two\" }");
    box.makeFile(steam + "shadercache/200/cache.bin");
    box.makeDir(steam + "downloading/300");
    box.makeFile(steam + "compatdata/300/pfx/system.reg");
    box.makeFile(steam + "compatdata/0/pfx/system.reg");
    const qint32 shortcutId = qint32(3000000001u);
    box.makeFile("home/.local/share/Steam/userdata/77/config/shortcuts.vdf", shortcutsVdf(shortcutId));
    box.makeFile(steam + "compatdata/3000000001/pfx/system.reg");
    home.legacyId = formats::SteamShortcuts::legacyAppId("\"/g/old.exe\"", "Old");
    box.makeFile(steam + "compatdata/" + QByteArray::number(home.legacyId) + "/pfx/system.reg");
    // Leftovers: a prefix with saves (and a temporary file, and dosdevices
    // pointing at the host root), a plain one, one in use, a removed
    // shortcut's, a shader cache in the other library.
    box.makeFile(steam + "compatdata/400/pfx/drive_c/users/steamuser/Saved Games/g/save.dat", QByteArray(1000, 's'));
    box.makeFile(steam + "compatdata/400/pfx/drive_c/users/steamuser/AppData/Local/Temp/t.tmp", QByteArray(500, 't'));
    box.makeFile(steam + "compatdata/400/pfx/drive_c/users/loose.txt", QByteArray(7, 'l'));
    box.makeFile(steam + "compatdata/400/pfx/system.reg", QByteArray(20, 'r'));
    box.makeFile(steam + "compatdata/400/config_info",
                 "Proton 8.0\n" + box.path("home/.local/share/Steam/steamapps/common/Proton 8.0/files/") + "\n"
                     + box.path("home/.local/share/Steam/steamapps/common/Game Four/x") + "\n");
    box.makeDir(steam + "compatdata/400/pfx/dosdevices");
    mustLink(box.path("outside").constData(), box.path(steam + "compatdata/400/pfx/dosdevices/c:").constData());
    box.makeFile(steam + "compatdata/500/pfx/drive_c/windows/x.dll", QByteArray(300, 'x'));
    box.makeFile(steam + "compatdata/500/pfx.lock", {});
    mustLink("/", box.path(steam + "compatdata/500/pfx/dosdevices").constData());
    const timeval lockTimes[2] = {{2000000000, 0}, {2000000000, 0}};
    ::lutimes(box.path(steam + "compatdata/500/pfx.lock").constData(), lockTimes);
    box.makeFile(steam + "compatdata/600/pfx.lock", {});
    box.makeFile(steam + "compatdata/2999999999/pfx/system.reg");
    box.makeFile(lib2 + "shadercache/700/cache.bin", QByteArray(50, 'c'));
    // Traps: a link planted in compatdata, names that are no app id.
    box.makeFile("outside/victim.txt", "keep");
    mustLink(box.path("outside").constData(), box.path(steam + "compatdata/800").constData());
    box.makeDir(steam + "compatdata/abc");
    box.makeDir(steam + "compatdata/0700");
    home.lock = ::open(box.path(steam + "compatdata/600/pfx.lock").constData(), O_RDWR | O_CLOEXEC);
    if (home.lock < 0 || ::flock(home.lock, LOCK_EX) != 0)
        qFatal("cannot lock");

    // Wine's menu files: ~/.wine lives, ~/.wine2 is gone.
    box.makeFile("home/.wine/system.reg");
    box.makeDir("home/.wine2/drive_c");
    const QByteArray wine2 = "env WINEPREFIX=\"" + box.path("home/.wine2/") + "\" wine C:\\\\\\\\x.exe";
    const QByteArray wine = "env WINEPREFIX=\"" + box.path("home/.wine") + "\" wine C:\\\\\\\\x.exe";
    box.makeFile(apps + "wine/Programs/Live.desktop", desktopEntry(wine, "LIVE.0"));
    box.makeFile(apps + "wine/Programs/Gone.desktop", desktopEntry(wine2, "GONE.0"));
    box.makeFile(apps + "wine/Programs/Shares.desktop", desktopEntry(wine2, "LIVE.0"));
    box.makeFile(apps + "wine-extension-txt.desktop", desktopEntry("wine start /ProgIDOpen txtfile %f", "TXT.0"));
    box.makeFile(apps + "wine-extension-foo.desktop", desktopEntry(wine2 + " %f", "FOO.0"));
    box.makeFile(apps + "other.desktop", desktopEntry(wine2, "OTHER"));
    box.makeFile("home/Desktop/Gone.desktop", desktopEntry(wine2, "GONE.0"));
    for (const char* icon : {"LIVE.0", "GONE.0", "TXT.0", "FOO.0", "OTHER"})
        box.makeFile("home/data/icons/hicolor/48x48/apps/" + QByteArray(icon) + ".png");
    box.makeFile("home/data/icons/hicolor/32x32/apps/FOO.0.png");
    box.makeFile("home/data/mime/packages/x-wine-extension-txt.xml");
    box.makeFile("home/data/mime/packages/x-wine-extension-foo.xml");
    const auto menu = [](const QByteArray& files, const QByteArray& dir) {
        return "<Menu><Name>Applications</Name><Menu><Directory>" + dir + "</Directory><Include>" + files
            + "</Include></Menu></Menu>";
    };
    box.makeFile(merged + "wine-Programs-Gone.menu",
                 menu("<Filename>wine-Programs-Gone.desktop</Filename><Filename>wine-Programs-Removed.desktop</Filename>",
                      "wine-Programs-Old.directory"));
    box.makeFile(merged + "wine-Programs-Mixed.menu",
                 menu("<Filename>wine-Programs-Shares.desktop</Filename><Filename>wine-Programs-Live.desktop</Filename>",
                      "wine-wine.directory"));
    box.makeFile("home/data/desktop-directories/wine-wine.directory");
    box.makeFile("home/data/desktop-directories/wine-Programs-Old.directory");

    // Caches.
    box.makeFile("home/cache/wine/wine-gecko-2.47.4-x86_64.msi", QByteArray(80, 'g'));
    box.makeFile("home/cache/wine/notes.txt");
    box.makeFile("home/cache/winetricks/vcrun2019/vc_redist.x64.exe", QByteArray(90, 'v'));
    box.makeFile("home/data/bottles/temp/runner.tar", QByteArray(10, 'b'));
    return home;
}

} // namespace

void TestWineLeftovers::theFinderListsExactlyTheLeftoversAndDeletesOnlyWhatItMay()
{
    Sandbox box;
    const Home home = buildHome(box);
    const QByteArray root = home.root;
    const quint32 legacyId = home.legacyId;
    const int lock = home.lock;

    const Run listed = runCli({"--json", "wine-leftovers"});
    QCOMPARE(listed.code, 0);
    const QStringList expected{
        "cache home/cache/wine/wine-gecko-2.47.4-x86_64.msi -",
        "cache home/cache/winetricks/vcrun2019 -",
        "cache home/data/bottles/temp/runner.tar -",
        "menu home/config/menus/applications-merged/wine-Programs-Gone.menu",
        "menu home/data/applications/wine-extension-foo.desktop",
        "menu home/data/applications/wine/Programs/Gone.desktop",
        "menu home/data/applications/wine/Programs/Shares.desktop",
        "menu home/data/desktop-directories/wine-Programs-Old.directory",
        "menu home/data/icons/hicolor/32x32/apps/FOO.0.png",
        "menu home/data/icons/hicolor/48x48/apps/FOO.0.png",
        "menu home/data/mime/packages/x-wine-extension-foo.xml",
        "proton-prefix home/.local/share/Steam/steamapps/compatdata/2999999999",
        "proton-prefix home/.local/share/Steam/steamapps/compatdata/400 -",
        "proton-prefix home/.local/share/Steam/steamapps/compatdata/500",
        "proton-prefix home/.local/share/Steam/steamapps/compatdata/600 - in use",
        "shader-cache lib2/steamapps/shadercache/700",
    };
    const QStringList rows = rowsOf(listed.json, root);
    for (const QString& row : expected)
        QVERIFY2(rows.contains(row), qPrintable(QStringLiteral("missing: ") + row));
    for (const QString& row : rows)
        QVERIFY2(expected.contains(row), qPrintable(QStringLiteral("extra: ") + row));
    const QJsonObject saves = entryAt(listed.json, "compatdata/400");
    QCOMPARE(saves["name"].toString(), QStringLiteral("Game Four"));
    QCOMPARE(saves["userFiles"].toInteger(), 1000);
    // Every file but what lies behind dosdevices.
    QCOMPARE(saves["size"].toInteger(), 1000 + 500 + 7 + 20 + QFileInfo(box.pathText(steam + "compatdata/400/config_info")).size());
    QCOMPARE(entryAt(listed.json, "compatdata/500")["lastUsed"].toString(), QStringLiteral("2033-05-18T03:33:20Z"));
    QCOMPARE(entryAt(listed.json, "compatdata/500")["name"].toString(), QStringLiteral("500"));
    const Run kindOnly = runCli({"--json", "wine-leftovers", "--kind", "shader-cache"});
    QCOMPARE(rowsOf(kindOnly.json, root), QStringList{"shader-cache lib2/steamapps/shadercache/700"});

    // Scripts learn what went wrong from the exit code, and nothing goes
    // without --yes.
    QCOMPARE(runCli({"wine-leftovers", "--kind", "games"}).code, 2);
    QCOMPARE(runCli({"wine-leftovers", "--all"}).code, 2);
    QCOMPARE(runCli({"--json", "wine-leftovers", "--delete"}).code, 3);
    QVERIFY(box.exists(steam + "compatdata/500/pfx.lock"));

    // The rows chosen by default go to the trash, a prefix as one item.
    const Run cleaned = runCli({"--json", "wine-leftovers", "--delete", "--yes"});
    QCOMPARE(cleaned.code, 0);
    QCOMPARE(cleaned.json["total"]["deleted"].toInt(), 11);
    QVERIFY(box.exists("home/data/Trash/files/500/pfx/drive_c/windows/x.dll"));
    QVERIFY(!box.exists(steam + "compatdata/500") && !box.exists(steam + "compatdata/2999999999"));
    QVERIFY(!box.exists(apps + "wine/Programs/Gone.desktop") && !box.exists(lib2 + "shadercache/700"));
    for (const QByteArray& live : QList<QByteArray>
         {steam + "compatdata/400/pfx/drive_c/users/steamuser/Saved Games/g/save.dat", steam + "compatdata/600/pfx.lock",
          lib2 + "compatdata/100/pfx/system.reg", steam + "shadercache/200/cache.bin", steam + "compatdata/300/pfx/system.reg",
          steam + "compatdata/0/pfx/system.reg", steam + "compatdata/3000000001/pfx/system.reg", "outside/victim.txt",
          steam + "compatdata/" + QByteArray::number(legacyId) + "/pfx/system.reg",
          apps + "wine/Programs/Live.desktop", apps + "wine-extension-txt.desktop", apps + "other.desktop",
          "home/Desktop/Gone.desktop", "home/data/icons/hicolor/48x48/apps/LIVE.0.png",
          "home/data/icons/hicolor/48x48/apps/GONE.0.png", "home/data/mime/packages/x-wine-extension-txt.xml",
          merged + "wine-Programs-Mixed.menu", "home/data/desktop-directories/wine-wine.directory",
          "home/cache/wine/wine-gecko-2.47.4-x86_64.msi", "home/cache/winetricks/vcrun2019/vc_redist.x64.exe",
          "home/data/bottles/temp/runner.tar", "home/.wine/system.reg"})
        QVERIFY2(box.exists(live), live.constData());
    QVERIFY(QFileInfo(box.pathText(steam + "compatdata/800")).isSymLink());

    // Every row of a kind, for good: the saves go, the one in use stays, and
    // the folder dosdevices pointed at is untouched.
    const Run erased = runCli({"--json", "wine-leftovers", "--kind", "proton-prefix", "--delete", "--all", "--yes",
                               "--permanent"});
    QCOMPARE(erased.code, 0);
    QCOMPARE(entryAt(erased.json, "compatdata/400")["result"].toString(), QStringLiteral("deleted"));
    QCOMPARE(entryAt(erased.json, "compatdata/600")["result"].toString(), QStringLiteral("skipped"));
    QVERIFY(!box.exists(steam + "compatdata/400") && box.exists(steam + "compatdata/600/pfx.lock"));
    QCOMPARE(box.read("outside/victim.txt"), QByteArray("keep"));
    QVERIFY(!box.exists("home/data/Trash/files/400"));
    ::close(lock);
}

void TestWineLeftovers::theWindowTicksTheChosenRowsAndDeletesOnlyTheTicked()
{
    Sandbox box;
    const Home home = buildHome(box);
    TWineLeftForm window;
    window.show();
    window.SrcBtn->click();
    QVERIFY(window.StatPane->text().startsWith(QStringLiteral("Поиск завершен")));
    QVERIFY(window.StatPane->text().contains(QStringLiteral("Найдено - 16")));
    QCOMPARE(window.LeftModel->rowCount(), 16);
    QCOMPARE(window.CheckedRows().size(), 11);
    for (int row = 0; row < window.LeftModel->rowCount(); ++row) {
        const core::Finding& f = window.Findings()[row];
        QCOMPARE(window.LeftModel->item(row, 2)->text(), f.path);
        QCOMPARE(window.CheckedRows().contains(row), f.selected);
        if (f.userBytes > 0)
            QVERIFY(window.LeftModel->item(row, 1)->toolTip().contains(QStringLiteral("Файлов пользователя: 1 ")));
    }
    if (const QByteArray shot = qgetenv("VARNEL_SCREENSHOT"); !shot.isEmpty())
        window.grab().save(QString::fromLocal8Bit(shot));
    // Untick the shader cache, tick the prefix with saves: the answer Yes
    // deletes exactly the ticked rows; the question names the saves' size.
    for (int row = 0; row < window.LeftModel->rowCount(); ++row) {
        const QString kind = window.Findings()[row].kind;
        if (kind == u"shader-cache" || window.Findings()[row].userBytes > 0)
            window.LeftModel->item(row)->setCheckState(kind == u"shader-cache" ? Qt::Unchecked : Qt::Checked);
    }
    box.boxAnswer = platform::MsgResult::Yes;
    window.DelBtn->click();
    QCOMPARE(box.boxes.size(), 1);
    QVERIFY(box.boxes.first().contains(QStringLiteral("файлы пользователя")));
    QCOMPARE(window.LeftModel->rowCount(), 5);
    QVERIFY(box.exists(lib2 + "shadercache/700/cache.bin"));
    QVERIFY(box.exists("home/data/Trash/files/400/pfx/drive_c/users/steamuser/Saved Games/g/save.dat"));
    QVERIFY(box.exists(steam + "compatdata/600/pfx.lock"));
    ::close(home.lock);
}

#endif

QTEST_MAIN(TestWineLeftovers)
#include "tst_wineleftovers.moc"
