// The shell delete under attack: entries that changed between listing and
// deletion, names that only look alike, trees deeper than any path.

#include "platform/TestSeams.h"
#include "platform/FolderListing.h"
#include "formats/HostNameCodec.h"
#include "platform/ShellDelete.h"
#include "posix/Trash.h"
#include "support/Sandbox.h"

#include <QRandomGenerator>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

// Makes depth nested folders "d" under root (host path), one handle at a
// time, with the file "bottom.tmp" in the deepest. Paths that long can be
// made and used only relative to handles.
void makeDeepTree(const QByteArray& root, int depth)
{
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(fd >= 0);
    for (int i = 0; i < depth; ++i) {
        QCOMPARE(::mkdirat(fd, "d", 0755), 0);
        const int sub = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = sub;
        QVERIFY(fd >= 0);
    }
    const int file = ::openat(fd, "bottom.tmp", O_WRONLY | O_CREAT, 0644);
    QVERIFY(file >= 0);
    QCOMPARE(::write(file, "deep", 4), 4);
    ::close(file);
    ::close(fd);
}

// How deep the chain of "d" folders under root goes, and whether the
// deepest holds "bottom.tmp".
int depthOf(const QByteArray& root, bool* bottomFound = nullptr)
{
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    int depth = 0;
    for (;;) {
        const int sub = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (sub < 0)
            break;
        ::close(fd);
        fd = sub;
        ++depth;
    }
    struct stat st;
    if (bottomFound)
        *bottomFound = ::fstatat(fd, "bottom.tmp", &st, 0) == 0;
    ::close(fd);
    return depth;
}

QString deepWinPath(const QString& top, int depth, const QString& name)
{
    QString path = top;
    for (int i = 0; i < depth; ++i)
        path += QStringLiteral("\\d");
    return path + u'\\' + name;
}

} // namespace

class TestDeletionTraps : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void init()
    {
        QDir(box.pathText("c")).removeRecursively();
        QDir(box.pathText("outside")).removeRecursively();
        box.setDrives({{'c', "c"}});
        platform::testseams::setTrashAlwaysCopies(false);
        platform::testseams::setTrashTopDir({});
    }

    void aParentSwappedForALinkDeletesNothingOutside()
    {
        box.makeFile("c/tmp/evil/sub/precious.doc", "listed");
        box.makeFile("outside/sub/precious.doc", "not yours");
        const QString listedPath = QStringLiteral("c:\\tmp\\evil\\sub\\precious.doc");
        const EntryId listed = ShellDelete::idOf(listedPath);
        QVERIFY(listed.isKnown());

        QVERIFY(QDir(box.pathText("c/tmp/evil/sub")).removeRecursively());
        QVERIFY(QFile::link(box.pathText("outside/sub"), box.pathText("c/tmp/evil/sub")));
        QVERIFY(!ShellDelete::erase(listedPath, listed));
        QVERIFY(!ShellDelete::recycle(listedPath, listed));
        // Without the id the link on the way still stops it.
        QVERIFY(!ShellDelete::erase(listedPath));
        QCOMPARE(box.read("outside/sub/precious.doc"), QByteArray("not yours"));
        QVERIFY(!box.exists("home/data/Trash/files/precious.doc"));

        // The folder itself swapped for a link: only the link may go.
        box.makeDir("c/tmp/listed-dir");
        const EntryId dirId = ShellDelete::idOf(QStringLiteral("c:\\tmp\\listed-dir"));
        QVERIFY(QDir(box.pathText("c/tmp/listed-dir")).removeRecursively());
        QVERIFY(QFile::link(box.pathText("outside/sub"), box.pathText("c/tmp/listed-dir")));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\tmp\\listed-dir"), dirId));
        QVERIFY(box.exists("outside/sub/precious.doc"));
    }

    void anEntryReplacedSinceListingIsLeftAlone()
    {
        // A file replaced by a folder full of work.
        box.makeFile("c/junk/old.tmp", "junk");
        const EntryId file = ShellDelete::idOf(QStringLiteral("c:\\junk\\old.tmp"));
        QCOMPARE(file.kind, EntryKind::File);
        QVERIFY(QFile::remove(box.pathText("c/junk/old.tmp")));
        box.makeFile("c/junk/old.tmp/thesis.doc", "work");
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\junk\\old.tmp"), file));
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\junk\\old.tmp"), file));
        QCOMPARE(box.read("c/junk/old.tmp/thesis.doc"), QByteArray("work"));

        // Another file under the listed name.
        box.makeFile("c/junk/b.tmp", "first");
        const EntryId first = ShellDelete::idOf(QStringLiteral("c:\\junk\\b.tmp"));
        QVERIFY(QFile::remove(box.pathText("c/junk/b.tmp")));
        box.makeFile("c/junk/keep.bin", "second");
        QVERIFY(QFile::rename(box.pathText("c/junk/keep.bin"), box.pathText("c/junk/b.tmp")));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\junk\\b.tmp"), first));
        QCOMPARE(box.read("c/junk/b.tmp"), QByteArray("second"));

        // The same entry moved or untouched is still the one listed.
        const EntryId second = ShellDelete::idOf(QStringLiteral("c:\\junk\\b.tmp"));
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\junk\\b.tmp"), second));
        QVERIFY(!box.exists("c/junk/b.tmp"));
    }

    void aFolderListedEmptyIsErasedOnlyWhileEmpty()
    {
        box.makeFile("c/empty/sub/zero.txt", "");
        box.makeDir("c/empty/sub/deeper");
        const EntryId id = ShellDelete::idOf(QStringLiteral("c:\\empty"));
        box.makeFile("c/empty/sub/deeper/new-work.doc", "work");
        QVERIFY(!ShellDelete::eraseEmptyFolder(QStringLiteral("c:\\empty"), id));
        QCOMPARE(box.read("c/empty/sub/deeper/new-work.doc"), QByteArray("work"));
        QVERIFY(QFile::remove(box.pathText("c/empty/sub/deeper/new-work.doc")));
        QVERIFY(ShellDelete::eraseEmptyFolder(QStringLiteral("c:\\empty"), id));
        QVERIFY(!box.exists("c/empty"));
        box.makeFile("c/file.txt", "");
        QVERIFY(!ShellDelete::eraseEmptyFolder(QStringLiteral("c:\\file.txt"))); // a file is no folder
    }

    void anotherSpellingIsAnotherEntry()
    {
        box.makeDir("c/DATA/Cache");
        const EntryId listed = ShellDelete::idOf(QStringLiteral("C:\\DATA\\Cache"));
        QVERIFY(QDir(box.pathText("c/DATA/Cache")).removeRecursively());
        box.makeFile("c/DATA/cache/mail.db", "mail");
        QVERIFY(!ShellDelete::erase(QStringLiteral("C:\\DATA\\Cache"), listed));
        QVERIFY(!ShellDelete::erase(QStringLiteral("C:\\DATA\\Cache")));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\data\\cache\\mail.db")));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\DATA\\.\\cache\\mail.db")));
        QCOMPARE(box.read("c/DATA/cache/mail.db"), QByteArray("mail"));
    }

    void hostNamesConvertBackToTheirOwnBytes()
    {
        // Names holding the characters that stand in for reserved ones
        // (as Samba and WSL store "*") never read as the reserved ones.
        const QByteArray standIn("a\xEF\x80\xAA"); // U+F02A
        QVERIFY(formats::HostNameCodec::decode(standIn) != formats::HostNameCodec::decode(QByteArray("a*")));
        QCOMPARE(formats::HostNameCodec::encode(formats::HostNameCodec::decode(standIn)), standIn);

        QRandomGenerator rng(20261207);
        static const char pool[] = {'a',    '*',    ':',    '\\',   '?',    '"',    '<',    '>',
                                    '|',    '.',    ' ',    '\xEF', '\x80', '\xAA', '\xBC', '\xC3',
                                    '\xA9', '\xED', '\xA0', '\xF0', '\x9F', '\x98', '\x80', '\xFF'};
        QHash<QString, QByteArray> seen;
        for (int i = 0; i < 20000; ++i) {
            QByteArray name;
            const int length = 1 + int(rng.bounded(8));
            for (int k = 0; k < length; ++k)
                name.append(rng.bounded(3) == 0 ? char(1 + rng.bounded(255)) : pool[rng.bounded(int(sizeof pool))]);
            name.replace('/', 'x');
            const QString text = formats::HostNameCodec::decode(name);
            QCOMPARE(formats::HostNameCodec::encode(text), name);
            const auto earlier = seen.constFind(text);
            QVERIFY2(earlier == seen.cend() || *earlier == name, "two host names read as one text");
            seen.insert(text, name);
        }
    }

    void treesDeeperThanAnyPathAreListedAndRemoved()
    {
        box.makeDir("c/deep");
        makeDeepTree(box.path("c/deep"), 2500); // 5 000 bytes of path below c:\deep
        // A walk reaches the bottom, relative to its handles.
        FolderListing listing;
        QVERIFY(listing.read(QStringLiteral("c:\\deep")));
        int depth = 0;
        std::vector<FolderListing> chain;
        chain.push_back(std::move(listing));
        for (;;) {
            const FolderListing& here = chain.back();
            if (here.entries().empty() || !here.entries().front().isDirectory)
                break;
            FolderListing child;
            QVERIFY(child.readChild(here, here.entries().front()));
            chain.push_back(std::move(child));
            ++depth;
        }
        QCOMPARE(depth, 2500);
        QCOMPARE(chain.back().name(chain.back().entries().front()), QStringLiteral("bottom.tmp"));
        QCOMPARE(chain.back().statOf(chain.back().entries().front()).size, quint64(4));
        chain.clear();

        const QString bottom = deepWinPath(QStringLiteral("c:\\deep"), 2500, QStringLiteral("bottom.tmp"));
        const EntryId id = ShellDelete::idOf(bottom);
        QCOMPARE(id.kind, EntryKind::File);
        QVERIFY(ShellDelete::erase(bottom, id));
        bool found = true;
        QCOMPARE(depthOf(box.path("c/deep"), &found), 2500);
        QVERIFY(!found);
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\deep")));
        QVERIFY(!box.exists("c/deep"));
    }

    void aDeepFolderIsCopiedIntoTheTrashWholeOrNotAtAll()
    {
        // Where the file system keeps no trash, the folder is copied into
        // the home trash; a tree deeper than any path must neither crash
        // nor be cut.
        platform::testseams::setTrashAlwaysCopies(true);
        box.makeDir("c/tmp/deep");
        makeDeepTree(box.path("c/tmp/deep"), 2100);
        const EntryId id = ShellDelete::idOf(QStringLiteral("c:\\tmp\\deep"));
        QVERIFY(ShellDelete::recycle(QStringLiteral("c:\\tmp\\deep"), id));
        QVERIFY(!box.exists("c/tmp/deep"));
        bool bottom = false;
        QCOMPARE(depthOf(box.path("home/data/Trash/files/deep"), &bottom), 2100);
        QVERIFY(bottom);
        QVERIFY(box.read("home/data/Trash/info/deep.trashinfo").contains("Path=" + box.path("c/tmp/deep")));

        // A tree with a FIFO at its bottom is refused before anything is
        // copied: no half copy, no .trashinfo left behind.
        box.makeDir("c/tmp/deep2");
        makeDeepTree(box.path("c/tmp/deep2"), 300);
        QString fifo = deepWinPath(QStringLiteral("c:\\tmp\\deep2"), 300, {});
        QByteArray host = box.path("c/tmp/deep2");
        for (int i = 0; i < 300; ++i)
            host += "/d";
        QCOMPARE(::mkfifo((host + "/pipe").constData(), 0600), 0);
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\tmp\\deep2")));
        QVERIFY(!box.exists("home/data/Trash/files/deep2"));
        QVERIFY(!box.exists("home/data/Trash/info/deep2.trashinfo"));
        QCOMPARE(depthOf(box.path("c/tmp/deep2")), 300);
        ::unlink((host + "/pipe").constData());
        platform::testseams::setTrashAlwaysCopies(false);
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\tmp\\deep2")));
        QVERIFY(ShellDelete::erase(QStringLiteral("z:") + QString::fromUtf8(box.trash()).replace(u'/', u'\\')
                                   + QStringLiteral("\\files\\deep")));
        QVERIFY(QFile::remove(box.pathText("home/data/Trash/info/deep.trashinfo")));
    }

    void aDeepFolderOnATmpfsGoesToTheTrash()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/varnel-test-XXXXXX"));
        if (!shm.isValid())
            QSKIP("no /dev/shm here");
        const QByteArray folder = QFile::encodeName(shm.path());
        ::mkdir((folder + "/deep").constData(), 0755);
        makeDeepTree(folder + "/deep", 5000);
        const QString win = QStringLiteral("z:") + QString::fromUtf8(folder).replace(u'/', u'\\')
            + QStringLiteral("\\deep");
        QVERIFY(ShellDelete::recycle(win, ShellDelete::idOf(win)));
        QVERIFY(!QFileInfo::exists(shm.filePath(QStringLiteral("deep"))));
        QCOMPARE(depthOf(box.path("home/data/Trash/files/deep")), 5000);
        QVERIFY(ShellDelete::erase(QStringLiteral("z:") + QString::fromUtf8(box.trash()).replace(u'/', u'\\')
                                   + QStringLiteral("\\files\\deep")));
        QVERIFY(QFile::remove(box.pathText("home/data/Trash/info/deep.trashinfo")));
    }

    // A trash at the top of another file system is used only where the
    // user owns it and no link stands in its place; else the entry goes
    // into the home trash.
    void aTopDirTrashIsUsedOnlyWhenTheUsersOwn_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("landsIn");
        const QByteArray uid = QByteArray::number(::getuid());
        QTest::newRow("none yet") << QByteArray() << "c/.Trash-" + uid;
        QTest::newRow("sticky .Trash") << QByteArray("sticky") << "c/.Trash/" + uid;
        QTest::newRow("non-sticky .Trash") << QByteArray("plain") << "c/.Trash-" + uid;
        QTest::newRow(".Trash a link") << QByteArray("linked") << "c/.Trash-" + uid;
        QTest::newRow("another user's $uid in .Trash") << QByteArray("sticky foreign-uid") << "c/.Trash-" + uid;
        QTest::newRow("another user's .Trash-$uid") << QByteArray("foreign-own") << QByteArray("home/data/Trash");
        QTest::newRow(".Trash-$uid a link") << QByteArray("linked-own") << QByteArray("home/data/Trash");
        QTest::newRow("non-sticky .Trash, .Trash-$uid a link")
            << QByteArray("plain linked-own") << QByteArray("home/data/Trash");
    }
    void aTopDirTrashIsUsedOnlyWhenTheUsersOwn()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, landsIn);
        const QByteArray uid = QByteArray::number(::getuid());
        QDir(box.pathText("home/data/Trash")).removeRecursively();
        box.makeFile("c/junk/old.tmp", "payload");
        box.makeDir("elsewhere/" + uid);
        QCOMPARE(::chmod(box.path("elsewhere").constData(), 01777), 0);
        if (setup.contains("sticky") || setup.contains("plain")) {
            box.makeDir("c/.Trash/" + uid);
            QCOMPARE(::chmod(box.path("c/.Trash").constData(), setup.contains("sticky") ? 01777 : 0777), 0);
        }
        if (setup.contains("linked "))
            QCOMPARE(::symlink(box.path("elsewhere").constData(), box.path("c/.Trash").constData()), 0);
        if (setup.contains("linked-own"))
            QCOMPARE(::symlink(box.path("elsewhere").constData(), box.path("c/.Trash-" + uid).constData()), 0);
        const QByteArray foreign = setup.contains("foreign-uid") ? "c/.Trash/" + uid
            : setup.contains("foreign-own")                      ? "c/.Trash-" + uid
                                                                 : QByteArray();
        if (!foreign.isEmpty()) {
            box.makeDir(foreign);
            if (::geteuid() != 0 || ::chown(box.path(foreign).constData(), 65534, 65534) != 0)
                QSKIP("another user's folder needs root to make");
        }
        platform::testseams::setTrashTopDir(box.path("c"));
        QVERIFY(ShellDelete::recycle(QStringLiteral("c:\\junk\\old.tmp")));
        platform::testseams::setTrashTopDir({});
        QVERIFY(!box.exists("c/junk/old.tmp"));
        QCOMPARE(box.read(landsIn + "/files/old.tmp"), QByteArray("payload"));
        // A top trash records the path from the top; the home trash, the whole path.
        const QByteArray record = box.read(landsIn + "/info/old.tmp.trashinfo");
        QVERIFY(record.contains(landsIn.startsWith("home") ? "Path=" + box.path("c/junk/old.tmp") + "\n"
                                                           : QByteArray("Path=junk/old.tmp\n")));
        QVERIFY(QDir(box.pathText("elsewhere/" + uid)).isEmpty());
        if (!foreign.isEmpty())
            QVERIFY(QDir(box.pathText(foreign)).isEmpty());
        QDir(box.pathText("elsewhere")).removeRecursively();
    }

    // A clean from a file system without a trash killed at random moments,
    // again and again: every file stays in its place or is whole in the
    // trash, and once the next run has moved something into the trash, no
    // record names a missing or cut-off copy.
    void aCopyIntoTheTrashKilledAtAnyMomentLosesNothing()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/varnel-kill-XXXXXX"));
        const bool onTmpfs = shm.isValid();
        platform::testseams::setTrashAlwaysCopies(!onTmpfs); // else a copy across file systems on disk
        const QByteArray folder = onTmpfs ? QFile::encodeName(shm.path()) : box.path("c/kill");
        QDir().mkpath(QString::fromUtf8(folder));
        const QString win = onTmpfs ? QStringLiteral("z:") + QString::fromUtf8(folder).replace(u'/', u'\\')
                                    : QStringLiteral("c:\\kill");
        QDir(box.pathText("home/data/Trash")).removeRecursively();
        QMap<QByteArray, QByteArray> contents; // original path -> bytes
        QRandomGenerator rng(35);
        const auto makeFiles = [&](int run) {
            QStringList names;
            for (int i = 0; i < 12; ++i) {
                const QByteArray name = "r" + QByteArray::number(run) + "-" + QByteArray::number(i) + ".tmp";
                const QByteArray bytes = QByteArray(rng.bounded(1, 96 * 1024), char('a' + i)) + name;
                QFile f(QString::fromUtf8(folder + "/" + name));
                f.open(QIODevice::WriteOnly);
                f.write(bytes);
                contents.insert(folder + "/" + name, bytes);
                names << QString::fromUtf8(name);
            }
            return names;
        };
        // The trash's files by the original path their records name.
        const auto trashed = [&] {
            QMultiMap<QByteArray, QByteArray> out;
            const QDir info(box.pathText("home/data/Trash/info"));
            for (const QString& record : info.entryList(QDir::Files | QDir::Hidden)) {
                QFile f(info.filePath(record));
                f.open(QIODevice::ReadOnly);
                const QByteArray text = f.readAll();
                const qsizetype at = text.indexOf("Path=");
                const QByteArray path = QByteArray::fromPercentEncoding(
                    text.mid(at + 5, text.indexOf('\n', at) - at - 5));
                QFile copy(QString::fromUtf8(box.trash() + "/files/") + record.chopped(10));
                out.insert(path, copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray("<missing>"));
            }
            return out;
        };
        const auto nothingLost = [&] {
            const QMultiMap<QByteArray, QByteArray> inTrash = trashed();
            for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
                QFile f(QString::fromUtf8(it.key()));
                const bool inPlace = f.open(QIODevice::ReadOnly) && f.readAll() == it.value();
                QVERIFY2(inPlace || inTrash.values(it.key()).contains(it.value()), it.key().constData());
            }
        };
        for (int run = 0; run < 30; ++run) {
            const QStringList names = makeFiles(run);
            const pid_t child = ::fork();
            if (child == 0) {
                for (const QString& name : names)
                    ShellDelete::recycle(win + u'\\' + name);
                ::_exit(0);
            }
            QVERIFY(child > 0);
            ::usleep(useconds_t(rng.bounded(60000)));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            nothingLost();
        }
        // The next run's first move into the trash clears what the killed
        // ones left.
        platform::testseams::forgetTrashSweeps();
        const QStringList last = makeFiles(30);
        QVERIFY(ShellDelete::recycle(win + u'\\' + last.first()));
        nothingLost();
        const QMultiMap<QByteArray, QByteArray> inTrash = trashed();
        QVERIFY(!inTrash.isEmpty());
        for (auto it = inTrash.cbegin(); it != inTrash.cend(); ++it)
            QVERIFY2(contents.value(it.key()) == it.value(),
                     (it.key() + " " + it.value().right(20)).constData()); // whole
        const QStringList left = QDir(box.pathText("home/data/Trash/files"))
                                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
            + QDir(box.pathText("home/data/Trash/info"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left.filter(QStringLiteral(".varnel-")), QStringList());
        platform::testseams::setTrashAlwaysCopies(false);
        QDir(box.pathText("home/data/Trash")).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestDeletionTraps)
#include "tst_deletiontraps.moc"
