// The directory walker on real sandbox trees.

#include "platform/DriveTable.h"
#include "platform/MessagePump.h"
#include "platform/PathMapper.h"
#include "scan/TmFileScan.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run {
    QStringList found;
    QList<QStringList> ready;
};

Run walk(TmFileScan& scan, const QStringList& filter)
{
    Run run;
    scan.SearchFilter = filter;
    scan.OnFileFound = [&](const QString& f) { run.found << f; };
    scan.OnReady = [&](const QStringList& r) { run.ready << r; };
    scan.Execute();
    return run;
}

} // namespace

class TestTmFileScan : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void init()
    {
        box.setDrives({{'c', "c"}});
        platform::MessagePump::setHook({});
    }

    void masksOfOneFolderReportAsSeparateWalksWould()
    {
        box.makeFile("c/j/a.tmp", "1");
        box.makeFile("c/j/b.bak", "22");
        box.makeFile("c/j/sub/c.tmp", "333");
        box.makeFile("c/j/sub/d.bak", "4444");
        box.makeFile("c/j/sub/e.tmp.bak", "55555");
        TmFileScan scan;
        QStringList separate;
        for (const char* mask : {"*.bak", "*.tmp", "*.BAK", "*.bak"})
            separate += walk(scan, {QStringLiteral("c:\\j\\") + QLatin1String(mask)}).found;
        QList<quint64> sizes;
        QStringList pumped;
        scan.SearchFilter = {"c:\\j\\*.bak", "c:\\j\\*.tmp", "c:\\j\\*.BAK", "c:\\j\\*.bak"};
        QStringList together;
        scan.OnFileFound = [&](const QString& f) {
            together << f;
            sizes << scan.FoundEntry().size;
        };
        platform::MessagePump::setHook([&] { pumped << QString::number(together.size()); });
        scan.OnReady = {};
        QVERIFY(scan.Execute());
        QCOMPARE(together, separate);
        QCOMPARE(scan.Result(), separate);
        QCOMPARE(sizes.first(), quint64(2));
        QCOMPARE(pumped.size(), separate.size()); // messages run before every match, as before

        // A stop asked while the first mask's walk runs ends all of them.
        together.clear();
        platform::MessagePump::setHook([&] {
            if (together.size() == 1)
                TmFileScan::Stop();
        });
        QVERIFY(scan.Execute());
        QCOMPARE(together.size(), 1);
        platform::MessagePump::setHook({});
        QVERIFY(QDir(box.pathText("c/j")).removeRecursively());
    }

    void walksDepthFirstInNameOrder()
    {
        box.makeFile("c/TEMP/b.txt");
        box.makeFile("c/TEMP/A.txt");
        box.makeFile("c/TEMP/sub/inner.txt");
        box.makeFile("c/TEMP/sub/deeper/x.txt");
        box.makeDir("c/TEMP/empty");
        TmFileScan scan;
        const Run run = walk(scan, {"C:\\TEMP\\*.*"});
        QCOMPARE(run.found,
                 QStringList({"C:\\TEMP\\A.txt", "C:\\TEMP\\b.txt", "C:\\TEMP\\empty", "C:\\TEMP\\sub",
                              "C:\\TEMP\\sub\\deeper", "C:\\TEMP\\sub\\inner.txt", "C:\\TEMP\\sub\\deeper\\x.txt"}));
        QCOMPARE(run.ready, QList<QStringList>({run.found}));
        QCOMPARE(scan.Result(), run.found);

        // A folder named in another case, or through "." and "..", is
        // reported as the disk spells it (the drive letter as written), so
        // every path names the entry found.
        scan.SubDirectories = false;
        QCOMPARE(walk(scan, {"c:\\temp\\*.TXT"}).found, QStringList({"c:\\TEMP\\A.txt", "c:\\TEMP\\b.txt"}));
        QCOMPARE(walk(scan, {"c:\\.\\temp\\sub\\..\\*.TXT"}).found,
                 QStringList({"c:\\TEMP\\A.txt", "c:\\TEMP\\b.txt"}));
    }

    void aFolderMatchingTheMaskIsReportedAndEntered()
    {
        box.makeFile("c/old.tmp/inside.tmp");
        box.makeFile("c/plain.tmp");
        TmFileScan scan;
        QCOMPARE(walk(scan, {"c:\\*.tmp"}).found,
                 QStringList({"c:\\old.tmp", "c:\\plain.tmp", "c:\\old.tmp\\inside.tmp"}));
        QFile::remove(box.pathText("c/plain.tmp"));
        QDir(box.pathText("c/old.tmp")).removeRecursively();
    }

    void everyEntryIsAWalkOfItsOwn()
    {
        box.makeFile("c/twice/x.tmp");
        TmFileScan scan;
        const Run run = walk(scan, {"c:\\twice\\*.tmp", "c:\\twice\\*.*", "c:\\missing\\*.*", "c:\\twice\\"});
        QCOMPARE(run.found, QStringList({"c:\\twice\\x.tmp", "c:\\twice\\x.tmp"}));

        const Run none = walk(scan, {});
        QCOMPARE(none.ready, QList<QStringList>({QStringList()}));
    }

    void emptyAndBackslashFolderPartsUseTheCurrentFolder()
    {
        box.makeFile("c/cwd/here.tmp");
        box.makeFile("c/root.tmp");
        QVERIFY(platform::PathMapper::setCurrentDirectory("c:\\cwd"));
        TmFileScan scan;
        scan.SubDirectories = false;
        QCOMPARE(walk(scan, {"*.tmp"}).found, QStringList({"here.tmp"}));
        QCOMPARE(walk(scan, {"\\*.tmp"}).found, QStringList({"\\root.tmp"}));
        QFile::remove(box.pathText("c/root.tmp"));
    }

    void linksAreNotFollowedNorOtherMountsEntered()
    {
        box.makeFile("c/outside/secret.tmp");
        box.makeDir("c/walk");
        ::symlink(box.path("c/outside").constData(), box.path("c/walk/link.tmp").constData());
        box.setDrives({{'c', "c/walk"}});
        TmFileScan scan;
        QCOMPARE(walk(scan, {"c:\\*.tmp"}).found, QStringList({"c:\\link.tmp"})); // the link itself, as a file

        QTemporaryDir shm(QStringLiteral("/dev/shm/varnel-walk-XXXXXX"));
        struct stat dev, shmSt;
        if (!shm.isValid() || ::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shmSt) != 0
            || dev.st_dev == shmSt.st_dev)
            QSKIP("/dev/shm is not a file system of its own here");
        QFile marker(shm.filePath(QStringLiteral("marker-varnel.tmp")));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        qputenv("VARNEL_DRIVES", "c=/dev");
        platform::DriveTable::reload();
        const Run run = walk(scan, {"c:\\*varnel.tmp"});
        box.setDrives({{'c', "c"}});
        QVERIFY2(run.found.isEmpty(), qPrintable(run.found.join(u',')));
    }

    void stopFromAHandlerEndsTheWholeWalk()
    {
        for (const char* n : {"a.tmp", "b.tmp", "c.tmp", "sub/d.tmp"})
            box.makeFile(QByteArray("c/stop/") + n);
        TmFileScan scan;
        Run run;
        scan.SearchFilter = {"c:\\stop\\*.tmp", "c:\\stop\\sub\\*.tmp"};
        scan.OnFileFound = [&](const QString& f) {
            run.found << f;
            if (run.found.size() == 2)
                TmFileScan::Stop();
        };
        scan.OnReady = [&](const QStringList& r) { run.ready << r; };
        QVERIFY(scan.Execute());
        QCOMPARE(run.found, QStringList({"c:\\stop\\a.tmp", "c:\\stop\\b.tmp"}));
        QCOMPARE(run.ready, QList<QStringList>({run.found}));

        // The next Execute starts afresh.
        scan.OnFileFound = {};
        QVERIFY(scan.Execute());
        QCOMPARE(scan.Result().size(), 5);
    }

    void theStopFlagIsSharedAndNestedWalksAreRefused()
    {
        for (const char* n : {"a.tmp", "b.tmp", "c.tmp"})
            box.makeFile(QByteArray("c/shared/") + n);
        TmFileScan outer, inner;
        QStringList outerFound, innerFound;
        bool nestedRefused = false;
        inner.SearchFilter = {"c:\\shared\\*.tmp"};
        inner.OnFileFound = [&](const QString& f) {
            innerFound << f;
            TmFileScan::Stop(); // asked of the inner walker, ends the outer one too
        };
        outer.SearchFilter = {"c:\\shared\\*.tmp"};
        outer.OnFileFound = [&](const QString& f) {
            outerFound << f;
            nestedRefused = !outer.Execute();
            inner.Execute();
        };
        int outerReady = 0;
        outer.OnReady = [&](const QStringList&) { ++outerReady; };
        QVERIFY(outer.Execute());
        QVERIFY(nestedRefused);
        QCOMPARE(innerFound, QStringList({"c:\\shared\\a.tmp"}));
        QCOMPARE(outerFound, QStringList({"c:\\shared\\a.tmp"}));
        QCOMPARE(outerReady, 1);
        QVERIFY(!outer.Walking());
    }

    void messagesRunBeforeEachMatchAndFailuresLeaveWithoutReady()
    {
        box.makeFile("c/pump/one.tmp");
        box.makeFile("c/pump/two.tmp");
        box.makeFile("c/pump/other.txt");
        int pumped = 0;
        platform::MessagePump::setHook([&] { ++pumped; });
        TmFileScan scan;
        walk(scan, {"c:\\pump\\*.tmp"});
        QCOMPARE(pumped, 2);

        const QStringList before = scan.Result();
        bool ready = false;
        scan.OnFileFound = [](const QString&) { throw std::runtime_error("handler failed"); };
        scan.OnReady = [&](const QStringList&) { ready = true; };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, scan.Execute());
        QVERIFY(!ready);
        QVERIFY(!scan.Walking());
        QCOMPARE(scan.Result(), before);
    }

    // Last: its files stay in the sandbox.
    void aWalkerThatKeepsNoResultStillReportsEveryMatch()
    {
        box.makeFile("c/k/a.tmp", "1");
        box.makeFile("c/k/b.bak", "22");
        box.makeFile("c/k/s/c.bak", "333");
        TmFileScan scan;
        const Run kept = walk(scan, {"c:\\k\\*.tmp", "c:\\k\\*.bak"});
        QCOMPARE(kept.found.size(), 3);
        scan.KeepResult = false;
        const Run light = walk(scan, {"c:\\k\\*.tmp", "c:\\k\\*.bak"});
        QCOMPARE(light.found, kept.found);
        QCOMPARE(light.ready, QList<QStringList>{QStringList()});
        QVERIFY(scan.Result().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTmFileScan)
#include "tst_tmfilescan.moc"
