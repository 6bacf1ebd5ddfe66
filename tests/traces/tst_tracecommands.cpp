// The one-step trace commands and the folder lister they use: what is
// listed, what is deleted (and what never is), the typed-address key and
// the page-file flag.

#include "cleaners/traces/TFindFile.h"
#include "cleaners/traces/TraceCommands.h"
#include "platform/RegistryKey.h"
#include "platform/UrlHistoryStore.h"
#include "platform/WinePrefix.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;

namespace {

const QByteArray kUserHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
const QByteArray kMachineHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

QByteArray shellFolders(const QByteArray& recent, const QByteArray& history = {})
{
    QByteArray out = kUserHead + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n";
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
        QCOMPARE(f.Files, (QStringList{"c:\\top\\a.txt", "c:\\top\\one\\b.txt", "c:\\top\\two\\d.txt",
                                       "c:\\top\\one\\deep\\c.txt"}));
        f.Attributes.insert(ffDirectory);
        f.OnNewPath = [&](QObject*, const QString& p, bool& abort) { abort = p.endsWith(QLatin1String("two\\")); };
        f.Execute();
        QCOMPARE(f.Files, (QStringList{"c:\\top\\a.txt", "c:\\top\\one", "c:\\top\\two", "c:\\top\\one\\b.txt",
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
        QTest::newRow("not text") << QByteArray(kUserHead + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n\"Recent\"=dword:00000001\n");
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
                          box.path("prefix/drive_c/users/u/History/link").constData()) == 0);
        box.makeFile("prefix/system.reg", kMachineHead);
        box.makeFile("prefix/user.reg", shellFolders(QByteArray(), "C:\\\\users\\\\u\\\\History"));
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix"));
        std::unique_ptr<UrlHistoryStore> store = UrlHistoryStore::create();
        QVERIFY(store);
        TraceCommands::ClearHistoryLists();
        QVERIFY(box.exists("prefix/drive_c/users/u/History"));
        QVERIFY(QDir(box.pathText("prefix/drive_c/users/u/History")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
        QVERIFY(box.exists("prefix/drive_c/outside.txt"));
        // A history value naming the drive root is no store.
        box.makeFile("prefix/user.reg", shellFolders(QByteArray(), "C:\\\\"));
        QVERIFY(!UrlHistoryStore::create());
        TraceCommands::ClearHistoryLists();
        QVERIFY(box.exists("prefix/drive_c/outside.txt"));
        qunsetenv("WINEPREFIX");
    }

    void typedUrlsEndAsAnEmptyKey()
    {
        box.makeFile("registry/user.reg", kUserHead
                     + "[Software\\\\Microsoft\\\\Internet Explorer\\\\Main] 1\n\"Start Page\"=\"about:blank\"\n\n"
                       "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs] 1\n\"url1\"=\"http://a.example/\"\n"
                       "\"url2\"=\"http://b.example/\"\n\n"
                       "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs\\\\Sub] 1\n\"x\"=\"y\"\n");
        TraceCommands::ClearTypedUrls();
        RegistryKey typed;
        QVERIFY(typed.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"), false));
        QVERIFY(typed.valueNames().isEmpty());
        QVERIFY(typed.subKeyNames().isEmpty());
        QString start;
        RegistryKey main;
        QVERIFY(main.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\Main"), false));
        QVERIFY(main.readString(QStringLiteral("Start Page"), start));
        QCOMPARE(start, QStringLiteral("about:blank"));
    }

    void typedUrlsKeyIsMadeWhenThereWasNone()
    {
        TraceCommands::ClearTypedUrls();
        RegistryKey typed;
        QVERIFY(typed.open(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"), false));
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
        box.makeFile("registry/system.reg", kMachineHead
                     + "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Memory Management] 1\n"
                       "\"ClearPageFileAtShutdown\"=\"1\"\n");
        QVERIFY(!TraceCommands::PagefileFlag()); // not an integer
    }

    void pagefileFlagIsNotWrittenIntoADamagedFile()
    {
        const QByteArray damaged = kMachineHead + "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Memory Management] 1\n"
                                                  "\"ClearPageFileAtShutdown\"=dword:00000001\n\"cut\"=\"";
        box.makeFile("registry/system.reg", damaged);
        QVERIFY(TraceCommands::PagefileFlag());
        QVERIFY(!TraceCommands::SetPagefileFlag(false));
        QCOMPARE(box.read("registry/system.reg"), damaged);
    }
};

QTEST_GUILESS_MAIN(TestTraceCommands)
#include "tst_tracecommands.moc"
