// What Windows protects by itself and the platform must protect on Linux:
// entries running processes hold, other users' entries in a shared folder,
// the system's tmpfiles exclusions and what the package manager installed.
// Real processes hold real files here; the package lists and tmpfiles rules
// are the sandbox's own.

#include "platform/DeletionPass.h"
#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "platform/PackageFiles.h"
#include "platform/ShellDelete.h"
#include "platform/TmpfilesExclusions.h"
#include "support/Sandbox.h"

#include <QProcess>
#include <functional>
#include <iterator>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

class TestProtectedEntries : public QObject {
    Q_OBJECT
    Sandbox box;

    // Every entry the walk lists below winFolder, as "sub\name" texts.
    static QStringList walked(const QString& winFolder)
    {
        struct All : FolderWalkVisitor {
            QStringList seen;
            WalkStep visit(const FolderListing& l, const Entry& e, const QString& folder)
            {
                seen << folder + l.name(e).toString();
                return WalkStep::Pass;
            }
        } all;
        FolderListing root;
        if (root.read(winFolder))
            walkFolders(std::move(root), QString(), all);
        all.seen.sort();
        return all.seen;
    }

    // A child process that holds what the command line sets up, running
    // until the test ends it.
    std::unique_ptr<QProcess> holder(const QString& script, const QString& workingFolder = {})
    {
        auto p = std::make_unique<QProcess>();
        if (!workingFolder.isEmpty())
            p->setWorkingDirectory(workingFolder);
        p->start(QStringLiteral("python3"), {QStringLiteral("-c"), script});
        if (!p->waitForStarted() || !p->waitForReadyRead(10000))
            return nullptr; // the script prints once it holds what it should
        return p;
    }

    static bool chownToNobody(const QByteArray& path) { return ::lchown(path.constData(), 65534, 65534) == 0; }

private Q_SLOTS:
    void init() { box.setDrives({{'c', "c"}}); }

    void heldEntriesAreInUse()
    {
        box.makeFile("c/held/open.tmp");
        box.makeFile("c/held/mapped.tmp", QByteArray(4096, 'm'));
        box.makeFile("c/held/tree/deep/open.tmp");
        box.makeFile("c/held/tree/free.tmp");
        box.makeFile("c/held/tree/other/free.tmp");
        box.makeFile("c/held/cwd/free.tmp");
        box.makeFile("c/held/whole/deep/open.tmp");
        box.makeFile("c/held/whole/free.tmp");
        // One process holds a descriptor of two files, maps a third without
        // a descriptor, and works in a folder.
        const QString script =
            QStringLiteral(
                "import mmap,sys,time\n"
                "a=open('%1/open.tmp'); b=open('%1/tree/deep/open.tmp'); c=open('%1/whole/deep/open.tmp')\n"
                "f=open('%1/mapped.tmp','rb'); m=mmap.mmap(f.fileno(),0,access=mmap.ACCESS_READ); f.close()\n"
                "print('ready',flush=True); time.sleep(60)\n")
                .arg(box.pathText("c/held"));
        const std::unique_ptr<QProcess> p = holder(script, box.pathText("c/held/cwd"));
        QVERIFY2(p, "python3 could not start a holding process");

        const DeletionPass pass;
        const struct {
            const char* path;
            bool recycle;
            const char* stays;
            const char* goes;
        } cases[] = {
            {"c:\\held\\open.tmp", false, "c/held/open.tmp", nullptr},
            {"c:\\held\\mapped.tmp", true, "c/held/mapped.tmp", nullptr},
            {"c:\\held\\cwd", false, "c/held/cwd", nullptr},
            // A tree keeps the held entry and the folders holding it; the rest goes.
            {"c:\\held\\tree", false, "c/held/tree/deep/open.tmp", "c/held/tree/other"},
            // The trash takes a folder whole or not at all.
            {"c:\\held\\whole", true, "c/held/whole/free.tmp", nullptr},
        };
        for (const auto& c : cases) {
            const QString path = QString::fromUtf8(c.path);
            QVERIFY2(!(c.recycle ? ShellDelete::recycle(path) : ShellDelete::erase(path)), c.path);
            QCOMPARE(ShellDelete::lastError(), 32);
            QVERIFY2(box.exists(c.stays), c.stays);
            if (c.goes)
                QVERIFY2(!box.exists(c.goes), c.goes);
        }
        QVERIFY(box.exists("c/held/cwd/free.tmp"));
        QVERIFY(!box.exists("c/held/tree/free.tmp"));

        // Opened after the pass took its look, within the second the look
        // lives: the kernel's lease at the deletion itself refuses it.
        box.makeFile("c/held/late.tmp");
        box.makeFile("c/held/late2.tmp");
        const std::unique_ptr<QProcess> late =
            holder(QStringLiteral("import sys,time\nprint('ready',flush=True); sys.stdin.readline()\n"
                                  "a=open('%1/late.tmp'); b=open('%1/late2.tmp'); print('open',flush=True); "
                                  "time.sleep(60)\n")
                       .arg(box.pathText("c/held")));
        QVERIFY(late);
        late->readAll();
        late->write("go\n");
        QByteArray said; // output may come in pieces: wait for the word itself
        while (!said.contains("open") && late->waitForReadyRead(10000))
            said += late->readAll();
        QVERIFY(said.contains("open"));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\held\\late.tmp")));
        QCOMPARE(ShellDelete::lastError(), 32);
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\held\\late2.tmp")));
        QCOMPARE(ShellDelete::lastError(), 32);
        QVERIFY(box.exists("c/held/late.tmp") && box.exists("c/held/late2.tmp"));
        late->kill();
        late->waitForFinished();

        p->kill();
        p->waitForFinished();
        // A nested pass shares the outer look, which is taken anew once it
        // is a second old: the holder that ended no longer counts then.
        QTest::qWait(1100);
        const DeletionPass nested;
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\held\\open.tmp")));
    }

    void releasedEntriesGoInTheNextPass()
    {
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\held")));
        QVERIFY(!box.exists("c/held"));
    }

    void otherUsersEntriesInASharedFolderAreNotTheUsers()
    {
        if (::geteuid() != 0)
            QSKIP("giving entries to another user needs root");
        box.makeFile("c/shared/mine.tmp");
        box.makeFile("c/shared/theirs.tmp");
        box.makeFile("c/shared/theirdir/x.tmp");
        box.makeFile("c/shared/mydir/theirs.tmp");
        box.makeFile("c/shared/mydir/mine.tmp");
        box.makeFile("c/shared/whole/theirs.tmp");
        ::chmod(box.path("c/shared").constData(), 01777);
        // Only a folder others may write into can hold their entries.
        ::chmod(box.path("c/shared/mydir").constData(), 0777);
        for (const char* p : {"c/shared/theirs.tmp", "c/shared/theirdir", "c/shared/theirdir/x.tmp",
                              "c/shared/mydir/theirs.tmp", "c/shared/whole/theirs.tmp"})
            QVERIFY(chownToNobody(box.path(p)));

        // In the user's own closed folder ("whole") only root could have put
        // another user's entry: it is not looked for there, but never deleted.
        QCOMPARE(walked(QStringLiteral("c:\\shared")),
                 QStringList({"mine.tmp", "mydir", "mydir\\mine.tmp", "whole", "whole\\theirs.tmp"}));
        // A walk that starts below the shared folder knows it lies there.
        QCOMPARE(walked(QStringLiteral("c:\\shared\\mydir")), QStringList({"mine.tmp"}));

        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\shared\\theirs.tmp")));
        QCOMPARE(ShellDelete::lastError(), 5);
        QVERIFY(!ShellDelete::recycle(QStringLiteral("c:\\shared\\whole")));
        QCOMPARE(ShellDelete::lastError(), 5);
        QVERIFY(box.exists("c/shared/whole/theirs.tmp"));
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\shared\\mydir")));
        QCOMPARE(ShellDelete::lastError(), 5);
        QVERIFY(box.exists("c/shared/mydir/theirs.tmp"));
        QVERIFY(!box.exists("c/shared/mydir/mine.tmp"));
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\shared\\mine.tmp")));
    }

    void tmpfilesExclusionsAreNeitherListedNorDeleted()
    {
        QByteArray boot;
        {
            QFile f(QStringLiteral("/proc/sys/kernel/random/boot_id"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            boot = f.readAll().trimmed().replace("-", "");
        }
        const QByteArray tmp = box.path("c/tmp");
        box.makeFile("tmpfiles.d/svc.conf", "# services\nx " + tmp + "/systemd-private-%b-*\nd /ignored 0755\n");
        box.makeFile("tmpfiles.d/keep.conf", "X " + tmp + "/keep-%Z\nx! " + tmp + "/lock.*\n");
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.tmpfilesFolders = {box.path("tmpfiles.d")}; });
        box.makeFile("c/tmp/systemd-private-" + boot + "-ntp/tmp/a.tmp");
        box.makeFile("c/tmp/systemd-private-other-ntp/a.tmp");
        box.makeFile("c/tmp/keep-anything/a.tmp");
        box.makeFile("c/tmp/lock.1");
        box.makeFile("c/tmp/free.tmp");
        QCOMPARE(walked(QStringLiteral("c:\\tmp")),
                 QStringList({"free.tmp", "systemd-private-other-ntp", "systemd-private-other-ntp\\a.tmp"}));
        for (const QByteArray& name : {"systemd-private-" + boot + "-ntp", QByteArray("keep-anything"),
                                       QByteArray("lock.1"), "systemd-private-" + boot + "-ntp\\tmp\\a.tmp"}) {
            QVERIFY2(!ShellDelete::erase(QStringLiteral("c:\\tmp\\") + QString::fromUtf8(name)), name);
            QCOMPARE(ShellDelete::lastError(), 5);
        }
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\tmp\\free.tmp")));

        // Quoted paths, and specifiers put in before the path counts as
        // absolute: one naming what differs by user (%h) may be anywhere.
        box.makeFile("tmpfiles.d/more.conf", "x \"" + tmp + "/with space\"\nx %h/varnel-home-only\n");
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.tmpfilesFolders = {box.path("tmpfiles.d")}; });
        box.makeFile("c/tmp/with space/a.tmp");
        box.makeFile("c/tmp/deep/varnel-home-only/a.tmp");
        box.makeFile("c/tmp/deep/free.tmp");
        QCOMPARE(walked(QStringLiteral("c:\\tmp\\deep")), QStringList({"free.tmp"}));
        for (const char* name : {"c:\\tmp\\with space", "c:\\tmp\\deep\\varnel-home-only"}) {
            QVERIFY2(!ShellDelete::erase(QString::fromUtf8(name)), name);
            QCOMPARE(ShellDelete::lastError(), 5);
        }
        Sandbox::changeEnvironment(
            [&](platform::RunEnvironment& e) { e.tmpfilesFolders = {box.path("tmpfiles.d-none")}; });
    }

    void packagedEntriesAreNeverDeleted()
    {
        const QByteArray usr = box.path("c/usr");
        box.makeFile("dpkg/info/python3-pkg.list",
                     "/.\n" + usr + "\n" + usr + "/pkg\n" + usr + "/pkg/__init__.py\n" + usr + "/pkg/empty\n");
        box.makeFile("dpkg/info/other.list", usr + "/pkg/old.tmp\n" + usr + "/share/tool.conf\n");
        box.makeFile("dpkg/info/notes.md5sums", usr + "/pkg/md5-only.tmp\n");
        box.makeFile("dpkg/diversions", usr + "/share/tool.conf\n" + usr + "/share/tool.conf.distrib\nother\n");
        box.makeFile("c/usr/pkg/__init__.py", "");
        box.makeDir("c/usr/pkg/empty");
        box.makeFile("c/usr/pkg/old.tmp");
        box.makeFile("c/usr/pkg/md5-only.tmp");
        box.makeFile("c/usr/share/tool.conf.distrib");
        box.makeFile("c/usr/share/mine.tmp");
        PackageFiles::refresh();
        QCOMPARE(PackageFiles::figures().lists, 2);
        QVERIFY(!PackageFiles::figures().fromCache);

        // The next start takes the set from the cache the first reading
        // saved; a cache that is damaged, or not the user's alone, is read
        // past (the lists answer) and saved anew.
        const QByteArray cache = box.path("home/cache/varnel/packages.cache");
        const QByteArray saved = box.read("home/cache/varnel/packages.cache");
        const std::function<void()> damages[] = {
            [&] { box.makeFile("home/cache/varnel/packages.cache", saved.left(saved.size() - 3)); },
            [&] {
                QByteArray flipped = saved;
                flipped[saved.size() / 2] = char(flipped[saved.size() / 2] ^ 0x10);
                box.makeFile("home/cache/varnel/packages.cache", flipped);
            },
            [&] { ::chmod(cache.constData(), 0666); },
            [&] {
                box.makeFile("home/elsewhere.cache", saved);
                ::unlink(cache.constData());
                QCOMPARE(::symlink(box.path("home/elsewhere.cache").constData(), cache.constData()), 0);
            },
            [] {},
        };
        for (const auto& damage : damages) {
            damage();
            PackageFiles::forget();
            const bool whole = &damage == &damages[std::size(damages) - 1];
            QCOMPARE(PackageFiles::figures().fromCache, whole);
            QCOMPARE(PackageFiles::figures().lists, 2);
            QVERIFY(PackageFiles::contains(usr + "/pkg/__init__.py"));
            QVERIFY(!PackageFiles::contains(usr + "/share/mine.tmp"));
        }
        QCOMPARE(box.read("home/elsewhere.cache"), saved); // a link is replaced, never written through

        for (const char* path : {"c:\\usr\\pkg\\__init__.py", "c:\\usr\\pkg\\empty", "c:\\usr\\pkg\\old.tmp",
                                 "c:\\usr\\share\\tool.conf.distrib", "c:\\usr\\pkg", "c:\\usr"}) {
            QVERIFY2(!ShellDelete::recycle(QString::fromUtf8(path)), path);
            QCOMPARE(ShellDelete::lastError(), 5);
        }
        QVERIFY(box.exists("c/usr/pkg/__init__.py") && box.exists("c/usr/pkg/empty"));
        // Asked for, the diagnostics say why.
        static QStringList said;
        QLoggingCategory::setFilterRules(QStringLiteral("varnel.*=true"));
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& c, const QString& m) {
                said << QString::fromLatin1(c.category) + u' ' + m;
            });
        QVERIFY(!ShellDelete::erase(QStringLiteral("c:\\usr\\pkg\\old.tmp")));
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(said, QStringList({"varnel.delete refused c:\\usr\\pkg\\old.tmp: installed by a package (error 5)"}));
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\usr\\pkg\\md5-only.tmp")));
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\usr\\share\\mine.tmp")));
        // Lists that change are read again; without lists nothing is protected.
        ::unlink(box.path("dpkg/info/other.list").constData());
        ::utimensat(AT_FDCWD, box.path("dpkg/info").constData(), nullptr, 0);
        PackageFiles::refresh();
        QVERIFY(!PackageFiles::contains(usr + "/pkg/old.tmp"));
        QVERIFY(PackageFiles::contains(usr + "/pkg/"));
        QVERIFY(ShellDelete::erase(QStringLiteral("c:\\usr\\pkg\\old.tmp")));
    }
};

QTEST_GUILESS_MAIN(TestProtectedEntries)
#include "tst_protectedentries.moc"
