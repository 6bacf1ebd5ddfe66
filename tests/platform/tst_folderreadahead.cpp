// The readers that go ahead of a depth-first walk: they read nothing the
// walk may not enter, hand the walk what they read so that no folder is
// read twice, leave the walk's hooks as they were, stay within their lead
// and end with the walk, leaving no thread behind.

#include "platform/TestSeams.h"
#include "platform/FolderReadAhead.h"
#include "platform/FolderWalk.h"
#include "platform/TmpfilesExclusions.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Every folder the readers read, by host path, as they report it.
struct ReaderLog {
    QMutex mutex;
    QByteArrayList read;
    QHash<QByteArray, int> opens; // every read of a folder, the walk's and the readers'

    void note(const QByteArray& folder)
    {
        QMutexLocker lock(&mutex);
        read << folder;
    }
    void noteOpen(const QByteArray& folder)
    {
        QMutexLocker lock(&mutex);
        ++opens[folder];
    }
    QByteArrayList all()
    {
        QMutexLocker lock(&mutex);
        return read;
    }
    void clear()
    {
        QMutexLocker lock(&mutex);
        read.clear();
        opens.clear();
    }
};

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Writes down the folders the walk opens; may hold the walk at its first
// look at the root's sub-folders, and may stop it after some folders.
struct Walker : FolderWalkVisitor {
    QStringList opened_;
    std::function<void()> atFirstDescend;
    int stopAfter = -1;
    int mostThreads = 0;

    WalkStep opened(const FolderListing& listing, const QString&)
    {
        opened_ << QString::fromUtf8(listing.hostFolder());
        mostThreads = qMax(mostThreads, threadCount());
        return stopAfter >= 0 && opened_.size() >= stopAfter ? WalkStep::Stop : WalkStep::Pass;
    }
    WalkStep descend(const FolderListing& l, const Entry& e, const QString& f)
    {
        if (atFirstDescend)
            std::exchange(atFirstDescend, nullptr)();
        return FolderWalkVisitor::descend(l, e, f);
    }
};

QByteArray realPath(const QByteArray& path)
{
    return QFileInfo(QString::fromUtf8(path)).canonicalFilePath().toUtf8();
}

} // namespace

class FolderReadAheadTest : public QObject {
    Q_OBJECT
    Sandbox box;
    ReaderLog log;
    QByteArray mounted; // a test's own mount, undone after it

    // A tree of 8 folders of 8 folders each below c:\rel: 73 with its root.
    int makeTree(const QByteArray& rel)
    {
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 8; ++j)
                box.makeFile("c/" + rel + "/d" + QByteArray::number(i) + "/e" + QByteArray::number(j) + "/f.txt");
        return 1 + 8 + 64;
    }

    // Walks c:\rel with the readers started at once and every folder they
    // can read read before the walk goes past the root.
    Walker walkHeld(const QByteArray& rel, int readable)
    {
        platform::testseams::setReadAheadTuning({3, 1000, true});
        Walker walker;
        walker.atFirstDescend = [&] {
            // Not a timing: the walk waits for the readers' work, which a
            // reader that went wrong could never finish.
            QTRY_VERIFY_WITH_TIMEOUT(log.all().size() >= readable - 1, 20000);
        };
        FolderListing root;
        if (root.read(box.pathText("c/" + rel)))
            walkFolders(std::move(root), QStringLiteral("c:\\"), walker);
        return walker;
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::testseams::setReadAheadHook([this](const QByteArray& folder) { log.note(folder); });
        platform::testseams::setAccessFilter([this](const QByteArray& folder) {
            log.noteOpen(folder);
            return 0;
        });
    }

    void cleanup()
    {
        if (!mounted.isEmpty())
            ::umount(std::exchange(mounted, {}).constData());
        platform::testseams::setReadAheadTuning({});
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.tmpfilesFolders = {box.path("tmpfiles.d")}; });
    }

    // Each row puts one folder the walk must not enter into the tree; the
    // readers, free to read the whole tree ahead, read all the rest and
    // never that folder nor anything below it.
    void readersKeepTheWalksRules_data()
    {
        QTest::addColumn<QByteArray>("trap");
        QTest::newRow("link to a folder") << QByteArray("link");
        QTest::newRow("another file system") << QByteArray("mount");
        QTest::newRow("another user's folder in a shared folder") << QByteArray("owner");
        QTest::newRow("excluded by a tmpfiles rule") << QByteArray("tmpfiles");
    }
    void readersKeepTheWalksRules()
    {
        QFETCH(QByteArray, trap);
        const QByteArray rel = "rules-" + trap;
        const int readable = makeTree(rel);
        const QByteArray at = "c/" + rel + "/d3/trap";
        box.makeFile("c/" + rel + "-outside/inner/f.txt");
        if (trap == "link") {
            QCOMPARE(::symlink(box.path("c/" + rel + "-outside").constData(), box.path(at).constData()), 0);
        } else if (trap == "mount") {
            box.makeDir(at);
            // A mount namespace of this process's own: the mount goes with it.
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || ::mount("tmpfs", box.path(at).constData(), "tmpfs", 0, nullptr) != 0)
                QSKIP("no mount namespace of its own here");
            mounted = box.path(at);
            box.makeFile(at + "/inner/f.txt");
        } else if (trap == "owner") {
            box.makeFile(at + "/inner/f.txt");
            QCOMPARE(::chmod(box.path("c/" + rel + "/d3").constData(), 01777), 0);
            if (::geteuid() != 0 || ::chown(box.path(at).constData(), 65534, 65534) != 0)
                QSKIP("another user's folder needs root to make");
        } else {
            box.makeFile(at + "/inner/f.txt");
            box.makeFile("tmpfiles.d/test.conf", "x " + realPath(box.path(at)) + "\n");
            Sandbox::changeEnvironment(
                [&](platform::RunEnvironment& e) { e.tmpfilesFolders = {box.path("tmpfiles.d")}; });
        }
        log.clear();
        const Walker walker = walkHeld(rel, readable);

        const QByteArrayList read = log.all();
        QCOMPARE(read.size(), readable - 1); // all but the root, which the walk read
        const QByteArray inTrap = realPath(box.path("c/" + rel + "/d3")) + "/trap";
        const QByteArray outside = realPath(box.path("c/" + rel + "-outside"));
        for (const QByteArray& folder : read) {
            QVERIFY2(!folder.startsWith(inTrap) && !folder.startsWith(outside), folder.constData());
            QVERIFY2(walker.opened_.contains(QString::fromUtf8(folder)), folder.constData());
        }
        QCOMPARE(walker.opened_.size(), readable);
        // The walk took every folder the readers had read instead of reading it again.
        for (const QString& folder : walker.opened_.mid(1))
            QCOMPARE(log.opens.value(folder.toUtf8()), 1);
    }

    // The file a walk looks at first is the one whose inode lies nearest the
    // folder's, whatever the names; none in a folder of folders.
    void theFirstFileLookedAtLiesNearestItsFolder()
    {
        box.makeDir("c/near/only/sub");
        FolderListing folders;
        QVERIFY(folders.read(box.pathText("c/near/only")));
        QCOMPARE(FolderReadAhead::firstFileToLookAt(folders), nullptr);
        for (const char* name : {"m", "a", "z", "b", "y"}) // their inodes in the order made, not by name
            box.makeFile(QByteArray("c/near/") + name);
        FolderListing listing;
        QVERIFY(listing.read(box.pathText("c/near")));
        struct stat self {};
        QCOMPARE(::stat(listing.hostFolder().constData(), &self), 0);
        QCOMPARE(listing.folderInode(), quint64(self.st_ino));
        quint64 nearest = ~0ull;
        QByteArray expected;
        for (const FolderListing::Entry& e : listing.entries()) {
            struct stat st {};
            QCOMPARE(::lstat(listing.hostPathOf(e).constData(), &st), 0);
            QCOMPARE(e.inode, quint64(st.st_ino));
            const quint64 distance = st.st_ino > self.st_ino ? st.st_ino - self.st_ino : self.st_ino - st.st_ino;
            if (!e.isDirectory && distance < nearest) {
                nearest = distance;
                expected = listing.hostName(e).toByteArray();
            }
        }
        const FolderListing::Entry* first = FolderReadAhead::firstFileToLookAt(listing);
        QVERIFY(first);
        QCOMPARE(listing.hostName(*first).toByteArray(), expected);
    }

    // A walk with readers opens the same folders in the same order as one
    // without; stopped early, its readers end with it, after reading no
    // more than their lead beyond it, and no thread is left.
    void readersFollowAndEndWithTheWalk()
    {
        const int readable = makeTree("follow");
        const int before = threadCount();
        // Stops after stopAfter folders; holds at the root's first sub-folder
        // until the readers have read holdFor folders.
        const auto walk = [&](int stopAfter, int holdFor = 0) {
            Walker walker;
            walker.stopAfter = stopAfter;
            if (holdFor > 0)
                walker.atFirstDescend = [&] { QTRY_VERIFY_WITH_TIMEOUT(log.all().size() >= holdFor, 20000); };
            FolderListing root;
            if (root.read(box.pathText("c/follow")))
                walkFolders(std::move(root), QStringLiteral("c:\\"), walker);
            return walker;
        };
        const Walker alone = walk(-1);
        QCOMPARE(alone.opened_.size(), readable);

        const FolderReadAhead::Tuning tuning{2, 4, true};
        platform::testseams::setReadAheadTuning(tuning);
        log.clear();
        const Walker all = walk(-1);
        QCOMPARE(all.opened_, alone.opened_);
        QCOMPARE(threadCount(), before);

        log.clear();
        const int stopAfter = 10;
        const Walker stopped = walk(stopAfter, tuning.lead);
        QCOMPARE(stopped.opened_, alone.opened_.mid(0, stopAfter));
        QVERIFY(stopped.mostThreads > before);
        QCOMPARE(threadCount(), before);
        // The walk's own folders, and ahead of them the lead at most plus
        // a folder in hand per reader.
        const qsizetype read = log.all().size();
        QVERIFY(read >= tuning.lead);
        QVERIFY2(read <= stopAfter + tuning.lead + tuning.readers, QByteArray::number(read).constData());
    }
};

QTEST_GUILESS_MAIN(FolderReadAheadTest)
#include "tst_folderreadahead.moc"
