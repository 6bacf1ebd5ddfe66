// The shell's delete with and without undo, against real files and the
// sandbox's own trash.

#include "platform/ShellDelete.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace platform;

class TestShellDelete : public QObject {
    Q_OBJECT
    Sandbox box;

    QByteArray trashInfo(const QByteArray& name) const
    {
        return box.read("home/data/Trash/info/" + name + ".trashinfo");
    }

private Q_SLOTS:
    void init() { box.setDrives({{'c', "c"}}); }

    void recycledFilesCanBeRestored()
    {
        box.makeFile("c/junk/old.tmp", "payload");
        QVERIFY(ShellDelete::recycle(QStringLiteral("c:\\junk\\old.tmp")));
        QVERIFY(!box.exists("c/junk/old.tmp"));
        QCOMPARE(box.read("home/data/Trash/files/old.tmp"), QByteArray("payload"));
        QVERIFY(trashInfo("old.tmp").contains("Path=" + box.path("c/junk/old.tmp")));

        // A second file of the same name gets a name of its own in the trash.
        box.makeFile("c/junk/old.tmp", "second");
        // Deletion names the entry exactly as listed: another spelling is
        // another entry, and deletes nothing.
        QVERIFY(!ShellDelete::recycle(QStringLiteral("C:\\JUNK\\OLD.TMP")));
        QVERIFY(ShellDelete::recycle(QStringLiteral("C:\\junk\\old.tmp")));
        QCOMPARE(box.read("home/data/Trash/files/old.2.tmp"), QByteArray("second"));
    }

    void foldersAreRecycledWhole()
    {
        box.makeFile("c/tree/a/b.txt", "deep");
        QVERIFY(ShellDelete::recycle(QStringLiteral("c:\\tree")));
        QVERIFY(!box.exists("c/tree"));
        QCOMPARE(box.read("home/data/Trash/files/tree/a/b.txt"), QByteArray("deep"));
    }

    void fileSystemsWithoutTrashUseTheHomeTrash()
    {
        // GIO keeps no trash on system-internal mounts such as /dev/shm.
        QTemporaryDir shm(QStringLiteral("/dev/shm/varnel-test-XXXXXX"));
        if (!shm.isValid())
            QSKIP("no /dev/shm here");
        const QByteArray folder = QFile::encodeName(shm.path());
        box.setDrives({{'c', "c"}});
        QFile f(shm.filePath(QStringLiteral("кэш.tmp")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("memory");
        f.close();
        QDir().mkpath(shm.filePath(QStringLiteral("dir/sub")));
        QVERIFY(QFile::link(QStringLiteral("/etc"), shm.filePath(QStringLiteral("dir/etc-link"))));

        const QString win = QStringLiteral("z:") + QString::fromUtf8(folder).replace(u'/', u'\\');
        QVERIFY(ShellDelete::recycle(win + QStringLiteral("\\кэш.tmp")));
        QVERIFY(!f.exists());
        QCOMPARE(box.read("home/data/Trash/files/кэш.tmp"), QByteArray("memory"));
        QVERIFY(trashInfo("кэш.tmp").contains("Path=" + folder + "/%D0%BA%D1%8D%D1%88.tmp"));

        QVERIFY(ShellDelete::recycle(win + QStringLiteral("\\dir")));
        QVERIFY(QFileInfo(QFile::decodeName(box.path("home/data/Trash/files/dir/etc-link"))).isSymLink());
        QVERIFY(QFileInfo::exists(QStringLiteral("/etc/hostname")) || QFileInfo::exists(QStringLiteral("/etc/passwd")));
    }

    void eraseNeverReachesThroughALink()
    {
        box.makeFile("c/keep/precious.txt", "keep me");
        box.makeFile("c/doomed/inner/file.txt");
        ::symlink(box.path("c/keep").constData(), box.path("c/doomed/inner/link-to-keep").constData());
        ::symlink(box.path("c/keep/precious.txt").constData(), box.path("c/doomed/file-link").constData());
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\doomed")));
        QVERIFY(!box.exists("c/doomed"));
        QCOMPARE(box.read("c/keep/precious.txt"), QByteArray("keep me"));

        // Erasing a link removes the link alone.
        ::symlink(box.path("c/keep").constData(), box.path("c/just-link").constData());
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\just-link")));
        QVERIFY(box.exists("c/keep/precious.txt"));
        QVERIFY(!box.exists("c/just-link"));
    }

    void entriesInUseAreRefusedWhole()
    {
        box.makeFile("c/svc/data.txt");
        ::mkfifo(box.path("c/svc/pipe").constData(), 0600);
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\svc")));
        QCOMPARE(ShellDelete::lastError(), 32); // in use, as Windows says
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\svc")));
        QCOMPARE(ShellDelete::lastError(), 32);
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\svc\\pipe")));
        QCOMPARE(ShellDelete::lastError(), 32);
        QVERIFY(box.exists("c/svc/data.txt")); // nothing was touched

        box.makeDir("c/sock");
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray sockPath = box.path("c/sock/s");
        if (sockPath.size() < qsizetype(sizeof addr.sun_path)) {
            qstrncpy(addr.sun_path, sockPath.constData(), sizeof addr.sun_path);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\sock")));
            QVERIFY(box.exists("c/sock/s"));
        }
        ::close(s);
    }

    void rootsAndMissingPathsFail()
    {
        box.makeFile("c/file.txt");
        box.makeFile("c/dir/inner.txt");
        ::symlink(box.path("c/dir").constData(), box.path("c/dir-link").constData());
        // Every refusal says why; a success clears what the last one said.
        const struct {
            bool (*call)(const QString&, const EntryId&);
            QString path;
            int error;
        } refusals[] = {
            {ShellDelete::erase, QStringLiteral("c:\\"), 2},
            {ShellDelete::recycle, QStringLiteral("c:"), 2},
            {ShellDelete::erase, QString(), 2},
            {ShellDelete::erase, QStringLiteral("c:\\no-such-file"), 2},
            {ShellDelete::recycle, QStringLiteral("c:\\no-such-file"), 2},
            {ShellDelete::erase, QStringLiteral("z:\\dev\\shm"), 32}, // a mount root is in use
            {ShellDelete::erase, QStringLiteral("c:\\no-such-dir\\file.txt"), 2},
            {ShellDelete::erase, QStringLiteral("c:\\file.txt\\file.txt"), 3},
            {ShellDelete::erase, QStringLiteral("c:\\dir-link\\inner.txt"), 3},
        };
        for (const auto& r : refusals) {
            box.makeFile("c/gone.txt");
            QVERIFY(ShellDelete::erase(QStringLiteral("c:\\gone.txt")));
            QCOMPARE(ShellDelete::lastError(), 0);
            QVERIFY2(!r.call(r.path, {}), qPrintable(r.path));
            QVERIFY2(ShellDelete::lastError() == r.error,
                     qPrintable(QStringLiteral("%1: %2").arg(r.path).arg(ShellDelete::lastError())));
        }
        QVERIFY(box.exists("c/file.txt"));
        QVERIFY(box.exists("c/dir/inner.txt"));

        // Another entry in the listed one's place, and a folder listed as
        // empty that has been given content.
        const EntryId listed = ShellDelete::idOf(QStringLiteral("c:\\file.txt"));
        ::unlink(box.path("c/file.txt").constData());
        box.makeFile("c/file.txt");
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\file.txt"), listed));
        QCOMPARE(ShellDelete::lastError(), 2);
        QVERIFY(!ShellDelete::eraseEmptyFolder(QStringLiteral("c:\\dir")));
        QCOMPARE(ShellDelete::lastError(), 145);
        QVERIFY(box.exists("c/dir/inner.txt"));
    }

    void partialFailureIsReportedAsFailure()
    {
        box.makeFile("c/locked/free.txt");
        box.makeFile("c/locked/inner/f.txt");
        ::chmod(box.path("c").constData(), 0777);
        ::chmod(box.path("c/locked").constData(), 0777);
        ::chmod(box.path("c/locked/inner").constData(), 0555);
        // The sandbox lies in the shared /tmp, where only the user's own
        // entries are deletable: the tree is the unprivileged user's, so
        // only the host's refusal stops the erase.
        if (::geteuid() == 0)
            for (const char* p : {"c/locked", "c/locked/free.txt", "c/locked/inner", "c/locked/inner/f.txt"})
                QCOMPARE(::chown(box.path(p).constData(), 65534, 65534), 0);
        // The child reports success when erase failed, as it must.
        QVERIFY(box.asUnprivileged(
            [] { return !ShellDelete::erase(QStringLiteral("c:\\locked")) && ShellDelete::lastError() == 5; }));
        QVERIFY(box.exists("c/locked/inner/f.txt"));
        QVERIFY(!box.exists("c/locked/free.txt")); // what could go, went, as on Windows
    }
};

QTEST_GUILESS_MAIN(TestShellDelete)
#include "tst_shelldelete.moc"
