// Path mapping between Windows form and host paths, drives and names.

#include "platform/DriveTable.h"
#include "formats/HostNameCodec.h"
#include "platform/PathMapper.h"
#include "support/Sandbox.h"

#include <QtTest>

using namespace platform;

class TestPathMapper : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void init() { box.setDrives({{'c', "c"}, {'e', "e"}}); }

    void drivesComeFromTheVariableInLetterOrder()
    {
        box.setDrives({{'e', "e"}, {'C', "c"}});
        const QList<FixedDrive> drives = DriveTable::fixedDrives();
        QCOMPARE(drives.size(), 2);
        QCOMPARE(drives[0].letter, QChar(u'c'));
        QCOMPARE(drives[0].hostRoot, box.path("c"));
        QCOMPARE(drives[1].letter, QChar(u'e'));
        QVERIFY(DriveTable::isFixed(u'E'));
        QVERIFY(!DriveTable::isFixed(u'z'));
        QVERIFY(DriveTable::drive(u'z').has_value()); // the whole host tree, never fixed
        QVERIFY(!DriveTable::drive(u'q').has_value());
        QVERIFY(DriveTable::space(u'c').totalBytes > 0);
        QCOMPARE(DriveTable::space(u'q').totalBytes, 0u);
    }

    void defaultTableStartsWithTheHostRoot()
    {
        const QByteArray saved = qgetenv("VARNEL_DRIVES");
        qunsetenv("VARNEL_DRIVES");
        DriveTable::reload();
        const QList<FixedDrive> drives = DriveTable::fixedDrives();
        qputenv("VARNEL_DRIVES", saved);
        DriveTable::reload();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives[0].letter, QChar(u'c'));
        QCOMPARE(drives[0].hostRoot, QByteArray("/"));
        for (const FixedDrive& d : drives) // pseudo and memory file systems are never drives
            QVERIFY2(!d.hostRoot.startsWith("/proc") && !d.hostRoot.startsWith("/dev")
                         && !d.hostRoot.startsWith("/sys"),
                     d.hostRoot.constData());
    }

    void mapsBothWays()
    {
        box.makeFile("c/Dir/file.txt");
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\Dir\\file.txt")), box.path("c/Dir/file.txt"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("C:/Dir/file.txt")), box.path("c/Dir/file.txt"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\")), box.path("c"));
        QCOMPARE(PathMapper::toWindows(box.path("c/Dir/file.txt")), QStringLiteral("c:\\Dir\\file.txt"));
        QCOMPARE(PathMapper::toWindows(box.path("c")), QStringLiteral("c:\\"));
        QCOMPARE(PathMapper::toWindows(box.path("e/x")), QStringLiteral("e:\\x"));
        QVERIFY(PathMapper::toHost(QStringLiteral("q:\\x")).isEmpty());
        QVERIFY(PathMapper::toHost(QStringLiteral("\\\\server\\share\\x")).isEmpty());
    }

    void pathsOutsideEveryDriveBelongToZ()
    {
        QCOMPARE(PathMapper::toWindows("/usr/lib"), QStringLiteral("z:\\usr\\lib"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("z:\\usr\\lib")), QByteArray("/usr/lib"));
        // A drive rooted in a longer prefix wins over the shorter one.
        box.setDrives({{'c', "c"}, {'d', "c/inner"}});
        QCOMPARE(PathMapper::toWindows(box.path("c/inner/f")), QStringLiteral("d:\\f"));
        QCOMPARE(PathMapper::toWindows(box.path("c/innerx/f")), QStringLiteral("c:\\innerx\\f"));
    }

    void dotDotNeverLeavesTheDrive()
    {
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\a\\..\\..\\..\\b")), box.path("c/b"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\a\\.\\b\\")), box.path("c/a/b"));
    }

    void componentsAreFoundWithoutRegardToCase()
    {
        box.makeFile("c/Folder/Sub/Name.TXT");
        QCOMPARE(PathMapper::toHost(QStringLiteral("C:\\FOLDER\\sub\\name.txt")), box.path("c/Folder/Sub/Name.TXT"));
        // A missing tail is kept as written, so new files land where asked.
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\folder\\NEW\\x")), box.path("c/Folder/NEW/x"));
    }

    void exactNameWinsOverAnotherCase()
    {
        box.makeFile("c/twins/A.TXT", "upper");
        box.makeFile("c/twins/a.txt", "lower");
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\twins\\a.txt")), box.path("c/twins/a.txt"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\twins\\A.TXT")), box.path("c/twins/A.TXT"));
        // Neither spelling exists: the first in name order is taken.
        QCOMPARE(PathMapper::toHost(QStringLiteral("c:\\twins\\A.txt")), box.path("c/twins/A.TXT"));
    }

    void currentDirectoryIsProgramState()
    {
        box.makeDir("c/work/deep");
        const QByteArray processBefore = QDir::currentPath().toUtf8();
        QVERIFY(PathMapper::setCurrentDirectory(QStringLiteral("c:\\work")));
        QCOMPARE(PathMapper::currentDirectory(), QStringLiteral("c:\\work\\"));
        QCOMPARE(QDir::currentPath().toUtf8(), processBefore); // never chdir
        QCOMPARE(PathMapper::toHost(QStringLiteral("deep")), box.path("c/work/deep"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("\\x")), box.path("c/x"));
        QVERIFY(!PathMapper::setCurrentDirectory(QStringLiteral("c:\\missing")));
        QCOMPARE(PathMapper::currentDirectory(), QStringLiteral("c:\\work\\"));
    }

    void hostNamesSurviveTheRoundTrip()
    {
        const QList<QByteArray> names = {"plain.txt", "отчёт.tmp", "bad\xff\xfe.tmp", "a\\..\\b", "x:y*?.tmp"};
        for (const QByteArray& name : names) {
            const QString text = formats::HostNameCodec::decode(name);
            QCOMPARE(formats::HostNameCodec::encode(text), name);
            QVERIFY2(!text.contains(u'\\') && !text.contains(u':'), name.constData());
        }
        QCOMPARE(formats::HostNameCodec::decode(QByteArray("отчёт")), QStringLiteral("отчёт"));
        // A name holding a backslash stays one component on the way back.
        box.makeFile("c/esc/a\\..\\b", "inside");
        const QString win = PathMapper::toWindows(box.path("c/esc/a\\..\\b"));
        QCOMPARE(PathMapper::toHost(win), box.path("c/esc/a\\..\\b"));
    }
};

QTEST_GUILESS_MAIN(TestPathMapper)
#include "tst_pathmapper.moc"
