// The common file helpers: known folders and sizes of found files.

#include "core/Context.h"
#include "core/Disposal.h"
#include "platform/FileSize.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestFileHelpers : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void knownFoldersAreInWindowsForm()
    {
        box.setDrives({{'c', "c"}, {'d', "tmp"}, {'e', "bin"}});
        QCOMPARE(GetTempDir(), QStringLiteral("d:\\"));
        QCOMPARE(GetAppDir(), QStringLiteral("e:\\"));
        QCOMPARE(GetWindowsDir(), QStringLiteral("c:\\windows"));
        box.makeDir("c/WINNT");
        qputenv("VARNEL_WINDIR", box.path("c/WINNT/"));
        QCOMPARE(GetWindowsDir(), QStringLiteral("c:\\WINNT"));
        qunsetenv("VARNEL_WINDIR");
        box.setDrives({{'c', "c"}});
    }

    void sizesAreWhatOpeningTheFileShows()
    {
        box.makeFile("c/s/five.tmp", "12345");
        box.makeDir("c/s/folder.tmp");
        ::symlink("five.tmp", box.path("c/s/link.tmp").constData());
        ::mkfifo(box.path("c/s/pipe.tmp").constData(), 0644);
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\five.tmp"), quint64(5));
        QCOMPARE(platform::FileSize::ofOpenedFile("C:\\S\\FIVE.TMP"), quint64(5));
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\folder.tmp"), quint64(0));
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\link.tmp"), quint64(8)); // the link's own size
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\pipe.tmp"), quint64(0)); // and no hang on a FIFO
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\vanished.tmp"), quint64(0));

        const int fd = ::open(box.path("c/s/huge.tmp").constData(), O_CREAT | O_WRONLY, 0644);
        QCOMPARE(::ftruncate(fd, (6LL << 30) + 7), 0);
        ::close(fd);
        QCOMPARE(platform::FileSize::ofOpenedFile("c:\\s\\huge.tmp"), (quint64(6) << 30) + 7);

        ::chmod(box.path("c").constData(), 0755);
        ::chmod(box.path("c/s").constData(), 0755);
        ::chmod(box.path("c/s/five.tmp").constData(), 0);
        QVERIFY(box.asUnprivileged([] { return platform::FileSize::ofOpenedFile("c:\\s\\five.tmp") == 0; }));
    }

    void recycleAndEraseActOnOnePath()
    {
        box.makeFile("c/d/a.bak");
        box.makeFile("c/d/b.bak");
        QVERIFY(RecycleFile("c:\\d\\a.bak"));
        QVERIFY(EraseFile("c:\\d\\b.bak"));
        QVERIFY(!EraseFile("c:\\d\\b.bak"));
        QVERIFY(box.exists("home/data/Trash/files/a.bak"));
        QVERIFY(!box.exists("home/data/Trash/files/b.bak"));
    }
};

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
