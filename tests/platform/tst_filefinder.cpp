// Find-first / find-next enumeration against real files.

#include "platform/EntryLookup.h"
#include "platform/FileFinder.h"
#include "platform/FolderListing.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace platform;

namespace {

QStringList list(const QString& pattern, quint32 mask = faAnyFile)
{
    QStringList names;
    FileFinder f;
    for (bool ok = f.findFirst(pattern, mask); ok; ok = f.findNext())
        names << f.name();
    return names;
}

quint32 attributesOf(const QString& pattern)
{
    FileFinder f;
    return f.findFirst(pattern, faAnyFile) ? f.attributes() : 0xFFFFFFFF;
}

} // namespace

class TestFileFinder : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void init() { box.setDrives({{'c', "c"}}); }

    void entriesComeInNameOrderWithDotsFirst()
    {
        for (const char* n : {"b.txt", "A.txt", "c", "a2.txt", "Б.txt", "а.txt"})
            box.makeFile(QByteArray("c/order/") + n);
        QCOMPARE(list(QStringLiteral("c:\\order\\*")),
                 QStringList({".", "..", "A.txt", "a2.txt", "b.txt", "c", "а.txt", "Б.txt"}));
        QVERIFY(!list(QStringLiteral("c:\\*")).contains(QStringLiteral("."))); // a drive root has none
        QVERIFY(list(QStringLiteral("c:\\missing\\*")).isEmpty());
    }

    void masksFollowTheWindowsRules()
    {
        for (const char* n : {"noext", "x.TMP", "y.tmp", "z.tmpx", "ab.txt", "abc.txt"})
            box.makeFile(QByteArray("c/masks/") + n);
        QCOMPARE(list(QStringLiteral("c:\\masks\\*.*"), faArchive).size(), 6); // also the name without a dot
        QCOMPARE(list(QStringLiteral("c:\\masks\\*.tmp")), QStringList({"x.TMP", "y.tmp"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\??.txt")), QStringList({"ab.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\A*C.TXT")), QStringList({"abc.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\masks\\NOEXT")), QStringList({"noext"}));
    }

    void attributeMaskAdmitsSpecialEntriesOnlyWhenAsked()
    {
        box.makeFile("c/attr/plain.txt");
        box.makeFile("c/attr/.hidden.txt");
        box.makeDir("c/attr/sub");
        ::mkfifo(box.path("c/attr/pipe").constData(), 0644);
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), 0), QStringList({"plain.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faHidden), QStringList({".hidden.txt", "plain.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faDirectory), QStringList({".", "..", "plain.txt", "sub"}));
        QCOMPARE(list(QStringLiteral("c:\\attr\\*"), faSysFile), QStringList({"pipe", "plain.txt"}));

        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\plain.txt")), quint32(faArchive));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\.hidden.txt")), quint32(faArchive | faHidden));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\sub")), quint32(faDirectory));
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\pipe")), quint32(faSysFile));
        ::chmod(box.path("c/attr/plain.txt").constData(), 0444);
        QCOMPARE(attributesOf(QStringLiteral("c:\\attr\\plain.txt")), quint32(faArchive | faReadOnly));
    }

    void dosAttributesReplaceTheDerivedOnes()
    {
        box.makeFile("c/dos/shown.txt");
        box.makeFile("c/dos/.dotted.txt");
        const QByteArray shown = box.path("c/dos/shown.txt"), dotted = box.path("c/dos/.dotted.txt");
        if (::setxattr(shown.constData(), "user.DOSATTRIB", "0x6", 3, 0) != 0)
            QSKIP("this file system keeps no user extended attributes");
        ::setxattr(dotted.constData(), "user.DOSATTRIB", "0x20", 4, 0);
        QCOMPARE(attributesOf(QStringLiteral("c:\\dos\\shown.txt")), quint32(faHidden | faSysFile));
        QCOMPARE(attributesOf(QStringLiteral("c:\\dos\\.dotted.txt")), quint32(faArchive)); // not hidden any more
        QCOMPARE(list(QStringLiteral("c:\\dos\\*"), 0), QStringList({".dotted.txt"}));
        QCOMPARE(list(QStringLiteral("c:\\dos\\*"), faHidden | faSysFile), QStringList({".dotted.txt", "shown.txt"}));
    }

    void linksAreEntriesOfTheirOwn()
    {
        box.makeFile("c/outside/secret.txt");
        box.makeDir("c/links");
        ::symlink(box.path("c/outside").constData(), box.path("c/links/to-folder").constData());
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\links\\to-folder"), faAnyFile));
        QVERIFY(!f.isDirectory());
        QVERIFY(!(f.attributes() & faDirectory));
        QCOMPARE(f.size(), quint64(box.path("c/outside").size())); // the link's own size
        // Enumerating through the link's name is not walking into it: the
        // finder lists the link, and callers never descend into non-folders.
        QCOMPARE(list(QStringLiteral("c:\\links\\*"), faArchive), QStringList({"to-folder"}));
    }

    void foldersOfAnotherMountAreMarked()
    {
        box.makeDir("c/plain/sub");
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\plain\\sub"), faDirectory));
        QVERIFY(!f.isMountPoint());
        struct stat dev, shm;
        if (::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev)
            QSKIP("/dev/shm is not a file system of its own here");
        QVERIFY(f.findFirst(QStringLiteral("z:\\dev\\shm"), faDirectory));
        QVERIFY(f.isMountPoint());
        QVERIFY(f.attributes() & faMountPoint);
    }

    void sizesAndTimesAreFetchedOnRequest()
    {
        box.makeDir("c/big");
        const int fd = ::open(box.path("c/big/sparse.bin").constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::ftruncate(fd, 5LL << 30), 0); // 5 GiB, no blocks written
        ::close(fd);
        const struct timeval times[2] = {{1000000000, 0}, {1200000000, 0}};
        ::utimes(box.path("c/big/sparse.bin").constData(), times);
        FileFinder f;
        QVERIFY(f.findFirst(QStringLiteral("c:\\big\\*.bin"), 0));
        QCOMPARE(f.size(), quint64(5) << 30);
        const FileTimes t = f.times();
        QCOMPARE(t.lastWrite.toSecsSinceEpoch(), 1200000000);
        QCOMPARE(t.lastAccess.toSecsSinceEpoch(), 1000000000);
        QVERIFY(t.creation.isValid());
    }

    // The platform speaks Windows error codes; no host error number leaves it.
    void folderReadsReportWindowsErrorCodes()
    {
        box.makeDir("c/open");
        box.makeFile("c/plain.txt");
        FolderListing listing;
        QVERIFY(listing.read(QStringLiteral("c:\\open")));
        QCOMPARE(listing.lastError(), 0);
        QVERIFY(!listing.read(QStringLiteral("c:\\missing")));
        QCOMPARE(listing.lastError(), 2);
        QVERIFY(!listing.read(QStringLiteral("c:\\plain.txt")));
        QCOMPARE(listing.lastError(), 3);
        const QByteArray refused = box.path("c/open");
        FolderListing::setAccessFilter([refused](const QByteArray& host) { return host == refused ? EACCES : 0; });
        const bool read = listing.read(QStringLiteral("c:\\open"));
        FolderListing::setAccessFilter({});
        QVERIFY(!read);
        QCOMPARE(listing.lastError(), 5);
    }

    // A shortcut's target counts when a program could open it as a file.
    void existingFilesAreFoundThroughLinks()
    {
        box.makeFile("c/t/file.txt");
        box.makeDir("c/t/dir");
        QVERIFY(::symlink("file.txt", box.path("c/t/tofile").constData()) == 0);
        QVERIFY(::symlink("dir", box.path("c/t/todir").constData()) == 0);
        QVERIFY(::symlink("gone", box.path("c/t/dangling").constData()) == 0);
        ::mkfifo(box.path("c/t/pipe").constData(), 0644);
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("c:\\t\\file.txt")));
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("C:\\T\\FILE.TXT")));
        QVERIFY(EntryLookup::isExistingFile(QStringLiteral("c:\\t\\tofile")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\dir")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\todir")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\dangling")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\pipe")));
        QVERIFY(!EntryLookup::isExistingFile(QStringLiteral("c:\\t\\none.txt")));
        QVERIFY(!EntryLookup::isExistingFile(QString()));
    }
};

QTEST_GUILESS_MAIN(TestFileFinder)
#include "tst_filefinder.moc"
