// The one-step trace commands and the folder lister they use: what is
// listed, what is deleted (and what never is), the typed-address key and
// the page-file flag.

#include "cleaners/traces/TFindFile.h"
#include "cleaners/traces/TraceCommands.h"
#include "platform/DriveTable.h"
#include "platform/RegistryKey.h"
#include "core/UrlHistoryStore.h"
#include "platform/WinePrefix.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;
using namespace core;

namespace {

const QByteArray kUserHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
const QByteArray kMachineHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

QByteArray shellFolders(const QByteArray& recent, const QByteArray& history = {})
{
    QByteArray out = kUserHead
        + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n";
    if (!recent.isNull())
        out += "\"Recent\"=\"" + recent + "\"\n";
    if (!history.isNull())
        out += "\"History\"=\"" + history + "\"\n";
    return out;
}

} // namespace

class TestTraceCommands : public QObject {
    Q_OBJECT
    Sandbox box;

    // Marks a file hidden the way Wine and Samba keep DOS attributes; false
    // where the file system keeps no user attributes.
    bool hide(const QByteArray& rel)
    {
        return ::setxattr(box.path(rel).constData(), "user.DOSATTRIB", "0x22", 4, 0) == 0;
    }

private Q_SLOTS:
    void init()
    {
        qunsetenv("WINEPREFIX");
        box.setDrives({{'c', "c"}, {'d', "d"}});
        QDir(box.pathText("c")).removeRecursively();
        QDir(box.pathText("registry")).removeRecursively();
        box.makeDir("c");
    }

    void emptyDirectoryListsNothingButFiresBothEvents()
    {
        TFindFile f;
        QStringList events;
        f.Files = {QStringLiteral("stale")};
        f.BeforeExecute = [&](QObject*) { events << "before"; };
        f.AfterExecute = [&](QObject*) { events << "after"; };
        f.OnNewPath = [&](QObject*, const QString&, bool&) { events << "path"; };
        f.Execute();
        QVERIFY(f.Files.isEmpty());
        QCOMPARE(events, (QStringList{"before", "after"}));
        QCOMPARE(f.AttributeMask(), 0x27u); // read-only, hidden, system, archive
    }

    void recursionIsBreadthFirstAndCanBeAborted()
    {
        box.makeFile("c/top/a.txt");
        box.makeFile("c/top/one/b.txt");
        box.makeFile("c/top/one/deep/c.txt");
        box.makeFile("c/top/two/d.txt");
        TFindFile f;
        f.Directory = QStringLiteral("c:\\top");
        f.Recurse = true;
        QStringList paths;
        f.OnNewPath = [&](QObject*, const QString& p, bool&) { paths << p; };
        f.Execute();
        QCOMPARE(paths, (QStringList{"c:\\top\\", "c:\\top\\one\\", "c:\\top\\two\\", "c:\\top\\one\\deep\\"}));
        QCOMPARE(
            f.Files,
            (QStringList{"c:\\top\\a.txt", "c:\\top\\one\\b.txt", "c:\\top\\two\\d.txt", "c:\\top\\one\\deep\\c.txt"}));
        f.Attributes.insert(ffDirectory);
        f.OnNewPath = [&](QObject*, const QString& p, bool& abort) { abort = p.endsWith(QLatin1String("two\\")); };
        f.Execute();
        QCOMPARE(f.Files,
                 (QStringList{"c:\\top\\a.txt", "c:\\top\\one", "c:\\top\\two", "c:\\top\\one\\b.txt",
                              "c:\\top\\one\\deep"}));
    }

    void recentDocumentsLoseOnlyTheirPlainFiles()
    {
        box.makeFile("c/Recent/a.lnk");
        box.makeFile("c/Recent/b.lnk");
        box.makeFile("c/Recent/readonly.lnk");
        QFile::setPermissions(box.pathText("c/Recent/readonly.lnk"), QFile::ReadOwner);
        box.makeFile("c/Recent/desktop.ini");
        const bool hidden = hide("c/Recent/desktop.ini");
        box.makeFile("c/Recent/.dotted");
        box.makeFile("c/Recent/sub/inner.lnk");
        box.makeFile("c/target.txt");
        QVERIFY(::symlink(box.path("c/target.txt").constData(), box.path("c/Recent/link.lnk").constData()) == 0);
        box.makeFile("registry/user.reg", shellFolders("C:\\\\Recent"));
        // On the host the desktop's own list goes too, left a valid document.
        box.makeFile("home/data/recently-used.xbel",
                     "<?xml version=\"1.0\"?>\n<xbel version=\"1.0\"><bookmark href=\"file:///secret.doc\"/></xbel>\n");
        TFindFile finder;
        finder.Attributes = {ffReadOnly, ffArchive};
        TraceCommands::ClearRecentDocuments(finder);
        const QByteArray xbel = box.read("home/data/recently-used.xbel");
        QVERIFY(xbel.contains("<xbel version=\"1.0\"") && xbel.contains("</xbel>") && !xbel.contains("bookmark href"));
        QVERIFY(!box.exists("c/Recent/a.lnk"));
        QVERIFY(!box.exists("c/Recent/b.lnk"));
        QVERIFY(!box.exists("c/Recent/readonly.lnk"));
        QVERIFY(!box.exists("c/Recent/link.lnk"));
        QVERIFY(box.exists("c/target.txt")); // the link went, not its target
        QCOMPARE(box.exists("c/Recent/desktop.ini"), hidden);
        QVERIFY(box.exists("c/Recent/.dotted"));
        QVERIFY(box.exists("c/Recent/sub/inner.lnk"));
    }

    void recentValuesThatAreNoPlainFolderDeleteNothing_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::newRow("no key") << QByteArray(kUserHead);
        QTest::newRow("no value") << shellFolders(QByteArray());
        QTest::newRow("drive root") << shellFolders("C:\\\\");
        QTest::newRow("drive letter only") << shellFolders("c:");
        QTest::newRow("outside the drives") << shellFolders("z:\\\\tmp");
        QTest::newRow("unknown drive") << shellFolders("q:\\\\Recent");
        QTest::newRow("through a link") << shellFolders("C:\\\\linked\\\\Recent");
        QTest::newRow("a link itself") << shellFolders("C:\\\\RecentLink");
        QTest::newRow("dot dot") << shellFolders("C:\\\\Recent\\\\..");
        QTest::newRow("not text") << QByteArray(kUserHead
                                                + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\S"
                                                  "hell Folders] 1\n\"Recent\"=dword:00000001\n");
    }

    void recentValuesThatAreNoPlainFolderDeleteNothing()
    {
        QFETCH(QByteArray, user);
        box.makeFile("c/keep.lnk");
        box.makeFile("c/Recent/keep.lnk");
        QVERIFY(::symlink(box.path("c").constData(), box.path("c/linked").constData()) == 0);
        QVERIFY(::symlink(box.path("c/Recent").constData(), box.path("c/RecentLink").constData()) == 0);
        box.makeFile("registry/user.reg", user);
        TFindFile finder;
        finder.Attributes = {ffReadOnly, ffArchive};
        TraceCommands::ClearRecentDocuments(finder);
        QVERIFY(finder.Files.isEmpty());
        QVERIFY(box.exists("c/keep.lnk"));
        QVERIFY(box.exists("c/Recent/keep.lnk"));
    }

    void historyHasNoStoreOnTheHost()
    {
        box.makeFile("c/History/page.url");
        box.makeFile("registry/user.reg", shellFolders(QByteArray(), "C:\\\\History"));
        QVERIFY(!UrlHistoryStore::create());
        TraceCommands::ClearHistoryLists();
        QVERIFY(box.exists("c/History/page.url"));
    }

    void historyInAPrefixIsTheHistoryFolder()
    {
        box.makeDir("prefix/drive_c/users/u/History/Content.IE5");
        box.makeFile("prefix/drive_c/users/u/History/index.dat");
        box.makeFile("prefix/drive_c/users/u/History/Content.IE5/x.htm");
        box.makeFile("prefix/drive_c/outside.txt");
        box.makeDir("prefix/dosdevices");
        QVERIFY(::symlink("../drive_c", box.path("prefix/dosdevices/c:").constData()) == 0);
        QVERIFY(::symlink(box.path("prefix/drive_c/outside.txt").constData(),
                          box.path("prefix/drive_c/users/u/History/link").constData())
                == 0);
        box.makeFile("prefix/system.reg", kMachineHead);
        box.makeFile("prefix/user.reg", shellFolders(QByteArray(), "C:\\\\users\\\\u\\\\History"));
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix"));
        std::unique_ptr<UrlHistoryStore> store = UrlHistoryStore::create();
        QVERIFY(store);
        TraceCommands::ClearHistoryLists();
        QVERIFY(box.exists("prefix/drive_c/users/u/History"));
        QVERIFY(QDir(box.pathText("prefix/drive_c/users/u/History"))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
        QVERIFY(box.exists("prefix/drive_c/outside.txt"));
        // A history value naming the drive root is no store.
        box.makeFile("prefix/user.reg", shellFolders(QByteArray(), "C:\\\\"));
        QVERIFY(!UrlHistoryStore::create());
        TraceCommands::ClearHistoryLists();
        QVERIFY(box.exists("prefix/drive_c/outside.txt"));
        qunsetenv("WINEPREFIX");
    }

    // A prefix whose registry names the usual folders: the Windows folder,
    // both Program Files folders and one the machine names, the profile
    // with its shell folders (Documents a link into the home folder, as Wine
    // makes it), d: on the home folder and e: on the sandbox's root. Every
    // folder holds a file a wrong value could take.
    static QStringList usualFiles()
    {
        return {"prefix/drive_c/top.txt",
                "prefix/drive_c/windows/win.ini",
                "prefix/drive_c/windows/system32/a.dll",
                "prefix/drive_c/Program Files/p.txt",
                "prefix/drive_c/Program Files/app/p.exe",
                "prefix/drive_c/Program Files (x86)/q.txt",
                "prefix/drive_c/Apps/a.txt",
                "prefix/drive_c/ProgramData/p.txt",
                "prefix/drive_c/users/p.txt",
                "prefix/drive_c/users/u/f.txt",
                "prefix/drive_c/users/u/AppData/a.txt",
                "prefix/drive_c/users/u/AppData/Roaming/r.txt",
                "home/h.txt",
                "home/Documents/doc.txt"};
    }

    void makePrefixWithUsualFolders(const QByteArray& userValues)
    {
        QDir(box.pathText("prefix")).removeRecursively();
        QDir(box.pathText("home/Documents")).removeRecursively();
        for (const QString& f : usualFiles())
            box.makeFile(f.toUtf8());
        box.makeFile("prefix/drive_c/users/u/AppData/Roaming/Microsoft/Windows/Recent/old.lnk");
        box.makeFile("prefix/drive_c/users/u/AppData/Local/Microsoft/Windows/History/index.dat");
        box.makeDir("prefix/dosdevices");
        QVERIFY2(::symlink("../drive_c", box.path("prefix/dosdevices/c:").constData()) == 0, "c:");
        QVERIFY2(::symlink(box.path("home").constData(), box.path("prefix/dosdevices/d:").constData()) == 0, "d:");
        QVERIFY2(::symlink(box.path("").constData(), box.path("prefix/dosdevices/e:").constData()) == 0, "e:");
        QVERIFY2(
            ::symlink(box.path("home/Documents").constData(), box.path("prefix/drive_c/users/u/Documents").constData())
                == 0,
            "Documents");
        box.makeFile(
            "prefix/system.reg",
            kMachineHead
                + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n\"ProgramFilesDir (x86)\"=\"C:\\\\Apps\"\n\n"
                  "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                  "\"Common AppData\"=\"C:\\\\ProgramData\"\n");
        box.makeFile("prefix/user.reg",
                     kUserHead
                         + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                           "\"AppData\"=\"C:\\\\users\\\\u\\\\AppData\\\\Roaming\"\n"
                           "\"Personal\"=\"C:\\\\users\\\\u\\\\Documents\"\n"
                         + userValues);
        qputenv("USER", "u");
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix"));
        DriveTable::reload();
    }

    void leavePrefix(const QByteArray& user)
    {
        qunsetenv("WINEPREFIX");
        qputenv("USER", user);
        box.setDrives({{'c', "c"}, {'d', "d"}});
        DriveTable::reload();
    }

    void systemAndProfileFoldersAreNeverEmptied_data()
    {
        QTest::addColumn<QByteArray>("value");
        for (const char* v :
             {"C:\\\\windows", "C:\\\\WINDOWS\\\\SYSTEM32", "c:\\\\Program Files", "C:\\\\PROGRAM FILES\\\\app",
              "C:\\\\Program Files (x86)", "C:\\\\apps", "C:\\\\users", "C:\\\\Users\\\\U",
              "C:\\\\users\\\\u\\\\AppData", "C:\\\\users\\\\u\\\\appdata\\\\roaming", "C:\\\\ProgramData",
              "C:\\\\users\\\\u\\\\Documents", "D:\\\\", "D:\\\\Documents", "E:\\\\home", "E:\\\\HOME\\\\documents",
              "C:\\\\", "C:\\\\windows\\\\not yet"})
            QTest::newRow(v) << QByteArray(v);
    }

    // Neither the documents command nor the history command empties a
    // folder of the system or the user's own.
    void systemAndProfileFoldersAreNeverEmptied()
    {
        QFETCH(QByteArray, value);
        const QByteArray user = qgetenv("USER");
        for (const char* name : {"Recent", "History"}) {
            makePrefixWithUsualFolders("\"" + QByteArray(name) + "\"=\"" + value + "\"\n");
            TFindFile finder;
            finder.Attributes = {ffReadOnly, ffArchive};
            TraceCommands::ClearRecentDocuments(finder);
            const bool noStore = !UrlHistoryStore::create();
            TraceCommands::ClearHistoryLists();
            leavePrefix(user);
            QVERIFY(finder.Files.isEmpty());
            QVERIFY(noStore);
            for (const QString& f : usualFiles())
                QVERIFY2(box.exists(f.toUtf8()), qPrintable(QLatin1String(name) + u' ' + f));
        }
    }

    // Windows finds a folder whatever the case of its value; so do both
    // commands, and they delete what is there.
    void foldersSpelledInAnotherCaseAreEmptied()
    {
        const QByteArray user = qgetenv("USER");
        makePrefixWithUsualFolders(
            "\"Recent\"=\"C:\\\\USERS\\\\U\\\\APPDATA\\\\ROAMING\\\\MICROSOFT\\\\WINDOWS\\\\RECENT\"\n"
            "\"History\"=\"c:\\\\Users\\\\u\\\\appdata\\\\local\\\\microsoft\\\\windows\\\\history\\\\\"\n");
        TFindFile finder;
        finder.Attributes = {ffReadOnly, ffArchive};
        TraceCommands::ClearRecentDocuments(finder);
        std::unique_ptr<UrlHistoryStore> store = UrlHistoryStore::create();
        const QString historyFolder = store ? store->folder() : QString();
        TraceCommands::ClearHistoryLists();
        leavePrefix(user);
        QCOMPARE(finder.Files, QStringList{"C:\\users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Recent\\old.lnk"});
        QCOMPARE(historyFolder, QStringLiteral("c:\\users\\u\\AppData\\Local\\Microsoft\\Windows\\History"));
        QVERIFY(!box.exists("prefix/drive_c/users/u/AppData/Roaming/Microsoft/Windows/Recent/old.lnk"));
        QVERIFY(!box.exists("prefix/drive_c/users/u/AppData/Local/Microsoft/Windows/History/index.dat"));
        QVERIFY(box.exists("prefix/drive_c/users/u/AppData/Local/Microsoft/Windows/History"));
        for (const QString& f : usualFiles())
            QVERIFY2(box.exists(f.toUtf8()), qPrintable(f));
    }

    void typedUrlsEndAsAnEmptyKey()
    {
        box.makeFile(
            "registry/user.reg",
            kUserHead
                + "[Software\\\\Microsoft\\\\Internet Explorer\\\\Main] 1\n\"Start Page\"=\"about:blank\"\n\n"
                  "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs] 1\n\"url1\"=\"http://a.example/\"\n"
                  "\"url2\"=\"http://b.example/\"\n\n"
                  "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs\\\\Sub] 1\n\"x\"=\"y\"\n");
        TraceCommands::ClearTypedUrls();
        RegistryKey typed;
        QVERIFY(typed.open(RegistryRoot::CurrentUser,
                           QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"), false));
        QVERIFY(typed.valueNames().isEmpty());
        QVERIFY(typed.subKeyNames().isEmpty());
        QString start;
        RegistryKey main;
        QVERIFY(main.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main"),
                          false));
        QVERIFY(main.readString(QStringLiteral("Start Page"), start));
        QCOMPARE(start, QStringLiteral("about:blank"));
    }

    void typedUrlsKeyIsMadeWhenThereWasNone()
    {
        TraceCommands::ClearTypedUrls();
        RegistryKey typed;
        QVERIFY(typed.open(RegistryRoot::CurrentUser,
                           QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"), false));
        QVERIFY(typed.valueNames().isEmpty());
    }

    void pagefileFlagFollowsTheValue()
    {
        QVERIFY(!TraceCommands::PagefileFlag()); // absent
        QVERIFY(TraceCommands::SetPagefileFlag(true));
        QVERIFY(TraceCommands::PagefileFlag());
        QVERIFY(box.read("registry/system.reg").contains("\"ClearPageFileAtShutdown\"=dword:00000001\n"));
        QVERIFY(TraceCommands::SetPagefileFlag(false));
        QVERIFY(!TraceCommands::PagefileFlag());
        QVERIFY(box.read("registry/system.reg").contains("\"ClearPageFileAtShutdown\"=dword:00000000\n"));
        box.makeFile("registry/system.reg",
                     kMachineHead
                         + "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Memory Management] 1\n"
                           "\"ClearPageFileAtShutdown\"=\"1\"\n");
        QVERIFY(!TraceCommands::PagefileFlag()); // not an integer
    }

    void pagefileFlagIsNotWrittenIntoADamagedFile()
    {
        const QByteArray damaged = kMachineHead
            + "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Memory Management] 1\n"
              "\"ClearPageFileAtShutdown\"=dword:00000001\n\"cut\"=\"";
        box.makeFile("registry/system.reg", damaged);
        QVERIFY(TraceCommands::PagefileFlag());
        QVERIFY(!TraceCommands::SetPagefileFlag(false));
        QCOMPARE(box.read("registry/system.reg"), damaged);
    }
};

QTEST_GUILESS_MAIN(TestTraceCommands)
#include "tst_tracecommands.moc"
