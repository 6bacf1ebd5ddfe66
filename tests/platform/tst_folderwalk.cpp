// The shared folder walk: the order of its hooks, what each answer does,
// folders it cannot or must not enter, and trees deeper than a thread's stack.

#include "platform/TestSeams.h"
#include "platform/FolderWalk.h"
#include "support/Sandbox.h"

#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Writes down every hook as "hook folder+name" and answers as the test says.
struct Recorder : FolderWalkVisitor {
    QStringList events;
    // The answer to a hook, or nullopt for the usual one.
    std::function<std::optional<WalkStep>(const QString& hook, const QString& path)> answer;

    WalkStep note(const char* hook, const FolderListing& l, const Entry& e, const QString& folder, WalkStep usual)
    {
        const QString path = folder + l.name(e).toString();
        events << QString::fromLatin1(hook) + u' ' + path;
        const std::optional<WalkStep> step = answer ? answer(QString::fromLatin1(hook), path) : std::nullopt;
        return step.value_or(usual);
    }
    WalkStep visit(const FolderListing& l, const Entry& e, const QString& f)
    {
        return note("visit", l, e, f, WalkStep::Pass);
    }
    WalkStep descend(const FolderListing& l, const Entry& e, const QString& f)
    {
        return note("descend", l, e, f, FolderWalkVisitor::descend(l, e, f));
    }
    WalkStep after(const FolderListing& l, const Entry& e, const QString& f)
    {
        return note("after", l, e, f, WalkStep::Pass);
    }
    WalkStep arrive(const QString& folder)
    {
        events << "arrive " + folder;
        return answer ? answer(QStringLiteral("arrive"), folder).value_or(WalkStep::Pass) : WalkStep::Pass;
    }
    WalkStep unreadable(const FolderListing& child, const FolderListing& l, const Entry& e, const QString& f)
    {
        events << QStringLiteral("unreadable %1%2 %3").arg(f, l.name(e)).arg(child.lastError());
        const std::optional<WalkStep> step = answer ? answer(QStringLiteral("unreadable"), f + l.name(e).toString())
                                                    : std::nullopt;
        return step.value_or(WalkStep::Pass);
    }
};

} // namespace

class TestFolderWalk : public QObject {
    Q_OBJECT
    Sandbox box;

    // c:\w holds a.txt, B\ (x.txt, y\ (z.txt)), c\ (k.txt) and a link l to B.
    void makeTree()
    {
        box.makeFile("c/w/a.txt");
        box.makeFile("c/w/B/x.txt");
        box.makeFile("c/w/B/y/z.txt");
        box.makeFile("c/w/c/k.txt");
        QCOMPARE(::symlink("B", box.path("c/w/l").constData()), 0);
    }

    bool walk(Recorder& r)
    {
        FolderListing root;
        if (!root.read(QStringLiteral("c:\\w\\")))
            return false;
        return walkFolders(std::move(root), QStringLiteral("c:\\w\\"), r);
    }

private Q_SLOTS:
    void init()
    {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), box.pathText("c/w")});
        makeTree();
    }

    // A folder's own entries first, then each sub-folder's whole tree in
    // name order, each sub-folder's after() once its tree is done; a link
    // to a folder is an entry like a file and never entered.
    void hooksComeInPreAndPostOrder()
    {
        Recorder r;
        QVERIFY(walk(r));
        QCOMPARE(r.events,
                 QStringList({
                     "visit c:\\w\\a.txt",    "visit c:\\w\\B",           "visit c:\\w\\c",
                     "visit c:\\w\\l",        "descend c:\\w\\a.txt",     "descend c:\\w\\B",
                     "visit c:\\w\\B\\x.txt", "visit c:\\w\\B\\y",        "descend c:\\w\\B\\x.txt",
                     "descend c:\\w\\B\\y",   "visit c:\\w\\B\\y\\z.txt", "descend c:\\w\\B\\y\\z.txt",
                     "after c:\\w\\B\\y",     "after c:\\w\\B",           "descend c:\\w\\c",
                     "visit c:\\w\\c\\k.txt", "descend c:\\w\\c\\k.txt",  "after c:\\w\\c",
                     "descend c:\\w\\l",
                 }));
    }

    // Skip: neither entered nor after(); Pass: after() without entering;
    // Stop from any hook: nothing more happens.
    void eachAnswerDoesWhatItSays()
    {
        Recorder r;
        r.answer = [](const QString& hook, const QString& path) -> std::optional<WalkStep> {
            if (hook == u"descend" && path.endsWith(u"\\B"))
                return WalkStep::Skip;
            if (hook == u"descend" && path.endsWith(u"\\c"))
                return WalkStep::Pass;
            return std::nullopt;
        };
        QVERIFY(walk(r));
        QVERIFY(!r.events.contains("after c:\\w\\B"));
        QVERIFY(r.events.contains("after c:\\w\\c"));
        for (const QString& e : r.events)
            QVERIFY2(!e.contains(u"\\B\\") && !e.contains(u"\\c\\"), qPrintable(e));

        for (const QString hook : {"visit", "descend", "after"}) {
            Recorder stop;
            stop.answer = [&](const QString& h, const QString& path) -> std::optional<WalkStep> {
                if (h == hook && path.endsWith(u"\\B\\y"))
                    return WalkStep::Stop;
                return std::nullopt;
            };
            QVERIFY(!walk(stop));
            QCOMPARE(stop.events.last(), hook + " c:\\w\\B\\y");
        }
    }

    // A folder that cannot be read goes to unreadable() with the reason,
    // then after(); a stop there ends the walk.
    void unreadableFoldersAreReported()
    {
        platform::testseams::setAccessFilter([](const QByteArray& host) { return host.endsWith("/w/B") ? EACCES : 0; });
        Recorder r;
        QVERIFY(walk(r));
        const qsizetype at = r.events.indexOf("unreadable c:\\w\\B 5");
        QVERIFY(at > 0);
        QCOMPARE(r.events.at(at + 1), QStringLiteral("after c:\\w\\B"));
        QVERIFY(!r.events.contains("visit c:\\w\\B\\x.txt"));

        Recorder stop;
        stop.answer = [](const QString& hook, const QString&) -> std::optional<WalkStep> {
            if (hook == u"unreadable")
                return WalkStep::Stop;
            return std::nullopt;
        };
        QVERIFY(!walk(stop));
        QCOMPARE(stop.events.last(), QStringLiteral("unreadable c:\\w\\B 5"));
        platform::testseams::setAccessFilter({});
    }

    // A sub-folder swapped for a link to a folder outside after its parent
    // was read is not entered: what the link leads to is never visited.
    void aFolderSwappedForALinkIsNotEntered()
    {
        box.makeFile("c/outside/secret.txt");
        Recorder r;
        r.answer = [&](const QString& hook, const QString& path) -> std::optional<WalkStep> {
            if (hook == u"descend" && path.endsWith(u"\\c")) {
                ::rename(box.path("c/w/c").constData(), box.path("c/moved").constData());
                ::symlink(box.path("c/outside").constData(), box.path("c/w/c").constData());
            }
            return std::nullopt;
        };
        QVERIFY(walk(r));
        QVERIFY(r.events.filter("unreadable c:\\w\\c").size() == 1);
        QVERIFY(r.events.filter("secret").isEmpty());
        ::unlink(box.path("c/w/c").constData());
        QProcess::execute(QStringLiteral("rm"),
                          {QStringLiteral("-rf"), box.pathText("c/moved"), box.pathText("c/outside")});
    }

    // Level by level: each folder's entries, sub-folders queued as met and
    // announced before they are read; a stop on arrival reads nothing more.
    void breadthFirstGoesLevelByLevel()
    {
        Recorder r;
        FolderListing root;
        QVERIFY(root.read(QStringLiteral("c:\\w\\")));
        QVERIFY(walkFoldersBreadthFirst(std::move(root), QStringLiteral("c:\\w\\"), r));
        const QStringList order = r.events.filter(QRegularExpression("^(visit|arrive)"));
        QCOMPARE(order,
                 QStringList({
                     "visit c:\\w\\a.txt",
                     "visit c:\\w\\B",
                     "visit c:\\w\\c",
                     "visit c:\\w\\l",
                     "arrive c:\\w\\B\\",
                     "visit c:\\w\\B\\x.txt",
                     "visit c:\\w\\B\\y",
                     "arrive c:\\w\\c\\",
                     "visit c:\\w\\c\\k.txt",
                     "arrive c:\\w\\B\\y\\",
                     "visit c:\\w\\B\\y\\z.txt",
                 }));
        QVERIFY(r.events.filter("after").isEmpty());

        Recorder stop;
        stop.answer = [](const QString& hook, const QString& folder) -> std::optional<WalkStep> {
            if (hook == u"arrive" && folder.endsWith(u"\\c\\"))
                return WalkStep::Stop;
            return std::nullopt;
        };
        FolderListing again;
        QVERIFY(again.read(QStringLiteral("c:\\w\\")));
        QVERIFY(!walkFoldersBreadthFirst(std::move(again), QStringLiteral("c:\\w\\"), stop));
        QCOMPARE(stop.events.last(), QStringLiteral("arrive c:\\w\\c\\"));
    }

    // The walk keeps its own stack: a tree of thousands of levels is walked
    // to the bottom on a thread whose stack a recursion would overflow.
    // While a folder is visited a second thread looks at its files from
    // the other end. Whoever looked first, each first look is the entry as
    // it stood, and a second look is a look of its own: a file replaced
    // after the helper looked at it shows up as the new file.
    void looksAheadAnswerAsTheFileSystemDoes()
    {
        constexpr int folders = 12, files = 40;
        const auto file = [](int f, int i) {
            return QStringLiteral("c/w/m%1/f%2.dat").arg(f).arg(i, 2, 10, QChar(u'0')).toUtf8();
        };
        // a new file of size bytes in the place of rel
        const auto replace = [&](const QByteArray& rel, int size) {
            const QByteArray tmp = box.path("c/w/new");
            const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            return fd >= 0 && ::ftruncate(fd, size) == 0 && ::close(fd) == 0
                && ::rename(tmp.constData(), box.path(rel).constData()) == 0;
        };
        struct Looker : FolderWalkVisitor {
            std::function<void(const QString& folder)> onFirst;
            QStringList wrong;
            int replacedSeen = 0;
            WalkStep visit(const FolderListing& l, const Entry& e, const QString& folder)
            {
                if (e.isDirectory || !l.name(e).startsWith(u'f'))
                    return WalkStep::Pass;
                const int index = l.name(e).mid(1, 2).toInt();
                if (index == 0)
                    onFirst(folder);
                const FolderListing::Found first = l.statOf(e), second = l.statOf(e);
                struct stat st;
                const bool present = ::lstat((l.hostFolder() + '/' + l.hostName(e).toByteArray()).constData(), &st) == 0;
                const bool replaced = index == files - 1;
                const bool firstRight = replaced ? first.size == 1000 + quint64(index) || first.size == quint64(index)
                                                 : first.size == quint64(index) && first.id == second.id;
                if (!present || !firstRight || second.size != (replaced ? 1000 + quint64(index) : quint64(index))
                    || second.id.inode != quint64(st.st_ino))
                    wrong << folder + l.name(e).toString();
                replacedSeen += replaced;
                return WalkStep::Pass;
            }
        } looker;
        looker.onFirst = [&](const QString& folder) {
            // the last file of the folder gives way to a bigger one
            const int f = QStringView(folder).mid(6).chopped(1).toInt();
            if (!replace(file(f, files - 1), 1000 + files - 1))
                looker.wrong << QStringLiteral("cannot replace in ") + folder;
        };
        const quint64 before = testseams::statAheadAnswers();
        for (int round = 0; round < 40 && testseams::statAheadAnswers() == before; ++round) {
            QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), box.pathText("c/w")});
            for (int f = 0; f < folders; ++f)
                for (int i = 0; i < files; ++i)
                    box.makeFile(file(f, i), QByteArray(i, 'x'));
            looker.replacedSeen = 0;
            FolderListing root;
            QVERIFY(root.read(QStringLiteral("c:\\w\\")));
            QVERIFY(walkFolders(std::move(root), QStringLiteral("c:\\w\\"), looker));
            QCOMPARE(looker.wrong, QStringList());
            QCOMPARE(looker.replacedSeen, folders);
        }
        QVERIFY(testseams::statAheadAnswers() > before);
    }

    void aDeepTreeNeedsNoDeepStack()
    {
        constexpr int depth = 1000;
        int fd = ::open(box.path("c/w").constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth; ++i) {
            QCOMPARE(::mkdirat(fd, "d", 0755), 0);
            const int sub = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = sub;
        }
        const int file = ::openat(fd, "bottom.tmp", O_WRONLY | O_CREAT, 0644);
        ::close(file);
        ::close(fd);

        struct Counter : FolderWalkVisitor {
            int folders = 0;
            bool bottom = false;
            WalkStep visit(const FolderListing& l, const Entry& e, const QString&)
            {
                folders += e.isDirectory && l.name(e) == u"d";
                bottom = bottom || l.name(e) == u"bottom.tmp";
                return WalkStep::Pass;
            }
            QString childFolder(const QString&, QStringView) const { return {}; }
        } counter;
        bool walked = false;
        QThread* thread = QThread::create([&] {
            FolderListing root;
            walked = root.read(QStringLiteral("c:\\w\\d")) && walkFolders(std::move(root), QString(), counter);
        });
        thread->setStackSize(64 * 1024); // under 70 bytes a level
        thread->start();
        QVERIFY(thread->wait(120000));
        delete thread;
        QVERIFY(walked);
        QCOMPARE(counter.folders, depth - 1);
        QVERIFY(counter.bottom);
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), box.pathText("c/w/d")});
    }
};

QTEST_GUILESS_MAIN(TestFolderWalk)
#include "tst_folderwalk.moc"
