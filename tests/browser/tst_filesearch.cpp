// The file search component driven through its events: walk order, the
// folder and statistics events, the attribute, date and size filters, the
// masks and their errors, and the roots that cannot be walked.

#include "cleaners/browser/EFileSearchError.h"
#include "cleaners/browser/TEasyFileSearch.h"
#include "cleaners/browser/TFileSearch.h"
#include "cleaners/browser/TSearchMask.h"
#include "platform/TestSeams.h"
#include "platform/FolderListing.h"
#include "platform/TickCounter.h"
#include "posix/Handles.h"
#include "support/Sandbox.h"

#include <QProcess>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Everything one search raised, in order, as text.
struct Recorder {
    QStringList events;
    QStringList names; // Path + Name of each kept entry
    QList<TFileInformations> found;
    QList<TStatistics> stats;

    void attach(TEasyFileSearch& s)
    {
        s.OnChangeFolder = [this](const QString& p) { events << "folder " + p; };
        s.OnFileFinded = [this](const TFileInformations& f) {
            events << "found " + f.Path + f.Name;
            names << f.Path + f.Name;
            found << f;
        };
        s.OnStatistics = [this](const TStatistics& st) {
            events << QStringLiteral("stats %1/%2").arg(st.FilesFound).arg(st.FoldersFound);
            stats << st;
        };
    }
};

} // namespace

class TestFileSearch : public QObject {
    Q_OBJECT
    Sandbox box;

    // Gives the entry the DOS attribute bits value, as Wine keeps them;
    // false where the file system keeps no user attributes.
    bool dosAttributes(const QByteArray& rel, const char* value)
    {
        return ::setxattr(box.path(rel).constData(), "user.DOSATTRIB", value, std::strlen(value), 0) == 0;
    }

private Q_SLOTS:
    void init()
    {
        QDir(box.pathText("c")).removeRecursively();
        box.makeDir("c");
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = {}; });
        platform::testseams::setAccessFilter({});
    }

    void newComponentHasItsInitialValues()
    {
        TEasyFileSearch s;
        QCOMPARE(s.Version(), QStringLiteral("TEasyFileSearch v1.00"));
        s.setVersion(QStringLiteral("other"));
        QCOMPARE(s.Version(), QStringLiteral("TEasyFileSearch v1.00"));
        for (TOptionsKind k : {okIncludeSubfolder, okLookForReadOnlyFile, okLookForHiddenFile, okLookForSystemFile,
                               okLookForDirectory, okLookForArchiveFile, okLookForAnyFile})
            QVERIFY(s.SearchOptions.contains(k));
        QVERIFY(s.FilterKind.isEmpty());
        QCOMPARE(s.DateFilterFileAccess, dfakAnyFiles);
        QCOMPARE(s.DateFilterKind, dfkSame);
        QCOMPARE(s.DateFilterFirstDate, QDate::currentDate());
        QCOMPARE(s.DateFilterSecondDate, QDate::currentDate());
        QCOMPARE(s.SizeFilterKind, sfkSmallerOrEqualTo);
        QCOMPARE(s.SizeFilterSize, 0);
        QCOMPARE(s.Filter(), QStringLiteral("*.*"));
        QCOMPARE(s.RootPath(), QStringLiteral(".\\"));
        // Filter and RootPath are the engine's own.
        s.setFilter(QStringLiteral("*.txt"));
        s.setRootPath(QStringLiteral("c:\\x"));
        QCOMPARE(s.Engine().Filter, QStringLiteral("*.txt"));
        QCOMPARE(s.Engine().RootPath, QStringLiteral("c:\\x"));
    }

    void optionsAreCopiedIntoTheEngineAtEveryExecute()
    {
        box.makeFile("c/r/a.txt");
        TEasyFileSearch s;
        s.setRootPath(QStringLiteral("c:\\r"));
        s.SearchOptions = {okLookForHiddenFile, okLookForDirectory};
        s.FilterKind = {fkFilterOnSize};
        s.SizeFilterKind = sfkBiggerOrEqualTo;
        s.SizeFilterSize = 7;
        QVERIFY(s.Execute());
        QCOMPARE(s.Engine().WantedAttributes(), 0x12u);
        QVERIFY(!s.Engine().IncludeSubfolders && !s.Engine().AnyFile && !s.Engine().DateFilterOn);
        QVERIFY(s.Engine().SizeFilterOn);
        QCOMPARE(s.Engine().SizeFilterSize, 7);
        s.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForSystemFile, okLookForArchiveFile};
        s.FilterKind = {};
        QVERIFY(s.Execute());
        QCOMPARE(s.Engine().WantedAttributes(), 0x25u);
        QVERIFY(s.Engine().IncludeSubfolders && !s.Engine().SizeFilterOn);
    }

    void walkIsBreadthFirstWithEventsInOrder()
    {
        box.makeFile("c/root/a.txt");
        box.makeFile("c/root/sub1/b.txt");
        box.makeFile("c/root/sub1/deep/c.txt");
        box.makeFile("c/root/sub2/d.txt");
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\root"));
        QVERIFY(s.Execute());
        QCOMPARE(r.events,
                 (QStringList{"folder c:\\root", "found c:\\root\\a.txt", "found c:\\root\\sub1",
                              "found c:\\root\\sub2", "folder c:\\root\\sub1", "found c:\\root\\sub1\\b.txt",
                              "found c:\\root\\sub1\\deep", "folder c:\\root\\sub2", "found c:\\root\\sub2\\d.txt",
                              "folder c:\\root\\sub1\\deep", "found c:\\root\\sub1\\deep\\c.txt", "stats 4/3"}));
        // A trailing backslash walks the same; the first folder is reported as set.
        Recorder r2;
        r2.attach(s);
        s.setRootPath(QStringLiteral("c:\\root\\"));
        QVERIFY(s.Execute());
        QCOMPARE(r2.events.first(), QStringLiteral("folder c:\\root\\"));
        QCOMPARE(r2.names, r.names);
        // Without sub-folders only the root is listed.
        Recorder r3;
        r3.attach(s);
        s.SearchOptions.remove(okIncludeSubfolder);
        QVERIFY(s.Execute());
        QCOMPARE(r3.events.size(), 5);
        QCOMPARE(r3.stats.first().FilesFound, 1);
    }

    void recordCarriesPathSizeAttributesAndLocalTimes()
    {
        box.makeFile("c/r/five.bin", "12345");
        box.makeDir("c/r/folder");
        const QDateTime when(QDate(2020, 3, 4), QTime(5, 6, 7));
        QFile f(box.pathText("c/r/five.bin"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        f.close();
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.found.size(), 2);
        const TFileInformations& file = r.found[0];
        QCOMPARE(file.Name, QStringLiteral("five.bin"));
        QCOMPARE(file.Path, QStringLiteral("c:\\r\\"));
        QCOMPARE(file.Size, 5);
        QVERIFY(file.Attributes & 0x20);
        QCOMPARE(file.LastWriteTime.date(), QDate(2020, 3, 4));
        QCOMPARE(file.LastWriteTime.time(), QTime(5, 6, 7));
        QCOMPARE(file.Id.kind, platform::EntryKind::File);
        QCOMPARE(r.found[1].Size, 0);
        QVERIFY(r.found[1].Attributes & 0x10);
    }

    void starDotStarNeedsADotInFileNamesButNotInFolderNames()
    {
        box.makeFile("c/r/index");
        box.makeFile("c/r/page.htm");
        box.makeFile("c/r/plain/inner");
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\page.htm", "c:\\r\\plain"}));
        // Any other mask reports folders only by their names.
        Recorder r2;
        r2.attach(s);
        s.setFilter(QStringLiteral("*.htm"));
        QVERIFY(s.Execute());
        QCOMPARE(r2.names, (QStringList{"c:\\r\\page.htm"}));
        // "*.*" is compared as written: "*.*" spelled otherwise is a mere mask.
        Recorder r3;
        r3.attach(s);
        s.setFilter(QStringLiteral("*"));
        QVERIFY(s.Execute());
        QCOMPARE(r3.names.size(), 4);
    }

    void foldersAreWalkedButReportedOnlyWhenWanted()
    {
        box.makeFile("c/r/sub/a.txt");
        TEasyFileSearch s;
        s.SearchOptions = {okIncludeSubfolder, okLookForArchiveFile};
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\sub\\a.txt"}));
        QCOMPARE(r.stats.first().FoldersFound, 0);
    }

    void attributeTestCountsOnlyTheFiveBits()
    {
        box.makeFile("c/r/normal.dat");
        box.makeFile("c/r/notindexed.dat");
        box.makeFile("c/r/hidden.dat");
        box.makeFile("c/r/hidarc.dat");
        box.makeFile("c/r/system.dat");
        if (!dosAttributes("c/r/normal.dat", "0x80") || !dosAttributes("c/r/notindexed.dat", "0x2000")
            || !dosAttributes("c/r/hidden.dat", "0x2") || !dosAttributes("c/r/hidarc.dat", "0x22")
            || !dosAttributes("c/r/system.dat", "0x4"))
            QSKIP("the file system keeps no user attributes");
        TEasyFileSearch s;
        s.SearchOptions = {okLookForReadOnlyFile, okLookForArchiveFile};
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\hidarc.dat"}));

        Recorder any;
        any.attach(s);
        s.SearchOptions.insert(okLookForAnyFile);
        QVERIFY(s.Execute());
        QCOMPARE(any.names.size(), 5);

        Recorder sys;
        sys.attach(s);
        s.SearchOptions = {okLookForSystemFile};
        QVERIFY(s.Execute());
        QCOMPARE(sys.names, (QStringList{"c:\\r\\system.dat"}));
    }

    void hiddenFolderIsWalkedWithoutTheHiddenWish()
    {
        box.makeFile("c/r/secret/plain.txt");
        box.makeFile("c/r/secret/hid.txt");
        box.makeFile("c/r/secret/hidro.txt");
        if (!dosAttributes("c/r/secret", "0x12") || !dosAttributes("c/r/secret/hid.txt", "0x2")
            || !dosAttributes("c/r/secret/hidro.txt", "0x3"))
            QSKIP("the file system keeps no user attributes");
        TEasyFileSearch s;
        s.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForArchiveFile};
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\secret\\hidro.txt", "c:\\r\\secret\\plain.txt"}));
        QVERIFY(r.events.contains("folder c:\\r\\secret"));
    }

    void readOnlyComesFromTheModeWithoutDosBits()
    {
        box.makeFile("c/r/locked.txt");
        QVERIFY(QFile::setPermissions(box.pathText("c/r/locked.txt"), QFile::ReadOwner));
        box.makeFile("c/r/open.txt");
        TEasyFileSearch s;
        s.SearchOptions = {okLookForReadOnlyFile};
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\locked.txt"}));
    }

    void sizeFilterBothWays()
    {
        box.makeFile("c/r/a0.bin", "");
        box.makeFile("c/r/a5.bin", "12345");
        box.makeFile("c/r/a9.bin", "123456789");
        TEasyFileSearch s;
        s.FilterKind = {fkFilterOnSize};
        s.SizeFilterSize = 5;
        Recorder small;
        small.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(small.names, (QStringList{"c:\\r\\a0.bin", "c:\\r\\a5.bin"}));
        Recorder big;
        big.attach(s);
        s.SizeFilterKind = sfkBiggerOrEqualTo;
        QVERIFY(s.Execute());
        QCOMPARE(big.names, (QStringList{"c:\\r\\a5.bin", "c:\\r\\a9.bin"}));
    }

    void dateFilterOnLocalDates()
    {
        const auto make = [&](const QByteArray& name, const QDateTime& when) {
            box.makeFile("c/r/" + name);
            QFile f(box.pathText("c/r/" + name));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
            QVERIFY(f.setFileTime(when, QFileDevice::FileAccessTime));
        };
        // Late and early in the day: the local date counts, not the UTC one.
        make("d1.txt", QDateTime(QDate(2021, 1, 10), QTime(0, 5)));
        make("d2.txt", QDateTime(QDate(2021, 1, 11), QTime(23, 55)));
        make("d3.txt", QDateTime(QDate(2021, 1, 12), QTime(12, 0)));
        TEasyFileSearch s;
        s.setRootPath(QStringLiteral("c:\\r"));
        s.FilterKind = {fkFilterOnDate};
        s.DateFilterFileAccess = dfakModifiedFiles;
        const auto run = [&](TDateFilterKind kind, QDate first, QDate second) {
            s.DateFilterKind = kind;
            s.DateFilterFirstDate = first;
            s.DateFilterSecondDate = second;
            Recorder r;
            r.attach(s);
            s.Execute();
            return r.names.join(u',');
        };
        const QDate d10(2021, 1, 10), d11(2021, 1, 11), d12(2021, 1, 12);
        QCOMPARE(run(dfkSame, d11, {}), QStringLiteral("c:\\r\\d2.txt"));
        QCOMPARE(run(dfkBefore, d11, {}), QStringLiteral("c:\\r\\d1.txt"));
        QCOMPARE(run(dfkAfter, d11, {}), QStringLiteral("c:\\r\\d3.txt"));
        QCOMPARE(run(dfkBetween, d10, d11), QStringLiteral("c:\\r\\d1.txt,c:\\r\\d2.txt"));
        QCOMPARE(run(dfkBetween, d12, d10), QString());
        // Opened dates match too; created ones are today's.
        s.DateFilterFileAccess = dfakOpenedFiles;
        QCOMPARE(run(dfkSame, d12, {}), QStringLiteral("c:\\r\\d3.txt"));
        s.DateFilterFileAccess = dfakCreatedFiles;
        QCOMPARE(run(dfkSame, d12, {}), QString());
        s.DateFilterFileAccess = dfakAnyFiles;
        QCOMPARE(run(dfkSame, d10, {}), QStringLiteral("c:\\r\\d1.txt"));
    }

    void masksMatchTheirOwnSyntax_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");
        QTest::newRow("case") << "*.TXT"
                              << "a.txt" << true;
        QTest::newRow("cyrillic case") << "ОТЧЁТ*"
                                       << "отчёт.doc" << true;
        QTest::newRow("dot needed") << "*.*"
                                    << "index" << false;
        QTest::newRow("star empty") << "a*"
                                    << "a" << true;
        QTest::newRow("question one") << "a?c"
                                      << "abc" << true;
        QTest::newRow("question not none") << "a?c"
                                           << "ac" << false;
        QTest::newRow("question after star adds nothing") << "a*?"
                                                          << "a" << true;
        QTest::newRow("range") << "[a-c]x"
                               << "Bx" << true;
        QTest::newRow("range miss") << "[a-c]x"
                                    << "dx" << false;
        QTest::newRow("set singles") << "[xz]1"
                                     << "z1" << true;
        QTest::newRow("negated") << "[!a-c]*"
                                 << "dog" << true;
        QTest::newRow("negated miss") << "[!a-c]*"
                                      << "cat" << false;
        QTest::newRow("backtracking") << "*ab*ab"
                                      << "xabyabab" << true;
        QTest::newRow("tail") << "*.tmp"
                              << "a.tmp.bak" << false;
        QTest::newRow("literal bracket free") << "a]b"
                                              << "a]b" << true;
        QTest::newRow("empty mask") << ""
                                    << "a" << false;
    }

    void masksMatchTheirOwnSyntax()
    {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        QFETCH(bool, match);
        QCOMPARE(TSearchMask(mask).matches(name), match);
    }

    void invalidMasksNameTheirPosition_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("position");
        QString stars31;
        for (int i = 0; i < 31; ++i)
            stars31 += QStringLiteral("*a");
        QTest::newRow("31 stars") << stars31 << 61;
        QTest::newRow("set begins with minus") << "x[-a]" << 3;
        QTest::newRow("negated set begins with minus") << "[!-a]" << 3;
        QTest::newRow("unclosed") << "ab[cd" << 3;
    }

    void invalidMasksNameTheirPosition()
    {
        QFETCH(QString, mask);
        QFETCH(int, position);
        try {
            TSearchMask m(mask);
            QFAIL("compiled");
        } catch (const EFileSearchError& e) {
            QCOMPARE(e.Message(), QStringLiteral("'%1' is an invalid mask at (%2)").arg(mask).arg(position));
        }
    }

    void thirtyStarsAreStillValid()
    {
        QString stars30;
        for (int i = 0; i < 30; ++i)
            stars30 += QStringLiteral("*a");
        QVERIFY(TSearchMask(stars30).matches(QStringLiteral("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa")));
        QVERIFY(TSearchMask(QStringLiteral("***")).matches(QStringLiteral("x"))); // one element
    }

    void invalidMaskFailsTheSearchBeforeAnyEvent()
    {
        box.makeFile("c/r/a.txt");
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        s.setFilter(QStringLiteral("[abc"));
        QVERIFY_THROWS_EXCEPTION(EFileSearchError, s.Execute());
        QVERIFY(r.events.isEmpty());
    }

    void rootThatDoesNotExist()
    {
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\missing"));
        QVERIFY(!s.Execute());
        QCOMPARE(r.events, (QStringList{"folder c:\\missing", "stats 0/0"}));
    }

    void emptyRootFailsAfterItsFolderEvent()
    {
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QString());
        QVERIFY_THROWS_EXCEPTION(EFileSearchError, s.Execute());
        QCOMPARE(r.events, (QStringList{"folder "}));
    }

    void unreadableFolderEndsTheWalkWithStatistics()
    {
        box.makeFile("c/r/a/x.txt");
        box.makeFile("c/r/b/y.txt");
        box.makeFile("c/r/top.txt");
        const QByteArray refused = box.path("c/r/a");
        platform::testseams::setAccessFilter(
            [refused](const QByteArray& host) { return host == refused ? EACCES : 0; });
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(!s.Execute());
        platform::testseams::setAccessFilter({});
        QVERIFY(!r.events.contains("folder c:\\r\\b"));
        QCOMPARE(r.events.last(), QStringLiteral("stats 1/2"));
    }

    void linkIsAnEntryOfItsOwnAndNeverWalked()
    {
        box.makeFile("outside/keep.txt");
        box.makeDir("c/r");
        QVERIFY(QFile::link(box.pathText("outside"), box.pathText("c/r/content.ie5")));
        QVERIFY(QFile::link(box.pathText("outside/keep.txt"), box.pathText("c/r/file.lnk")));
        TEasyFileSearch s;
        s.SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForDirectory, okLookForArchiveFile};
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        QCOMPARE(r.names, (QStringList{"c:\\r\\content.ie5", "c:\\r\\file.lnk"}));
        QCOMPARE(r.found[0].Attributes & 0x10, 0u);
        QCOMPARE(r.found[0].Id.kind, platform::EntryKind::Link);
        QCOMPARE(r.stats.first().FilesFound, 2);
        QVERIFY(!r.events.contains("folder c:\\r\\content.ie5"));
    }

    // A folder thousands wide whose sub-folders each hold one of their own:
    // the walk holds a few handles at a time, not one per waiting folder,
    // so it runs to the end under a low open-file limit.
    void wideTreeIsWalkedUnderALowHandleLimit()
    {
        constexpr int width = 3000;
        const int root = ::open(box.path("c").constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(root >= 0 && ::mkdirat(root, "wide", 0755) == 0);
        for (int i = 0; i < width; ++i) {
            const QByteArray d = "wide/d" + QByteArray::number(i);
            QVERIFY(::mkdirat(root, d.constData(), 0755) == 0 && ::mkdirat(root, (d + "/sub").constData(), 0755) == 0);
            ::close(::openat(root, (d + "/sub/x.txt").constData(), O_WRONLY | O_CREAT, 0644));
        }
        ::close(root);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const rlimit low{1024, 1024}; // the soft and the hard limit: the walk may not raise it
            int found = 0;
            bool complete = false;
            if (::setrlimit(RLIMIT_NOFILE, &low) == 0) {
                TEasyFileSearch s;
                s.setFilter(QStringLiteral("*.txt"));
                s.OnFileFinded = [&](const TFileInformations&) { ++found; };
                s.setRootPath(QStringLiteral("c:\\wide"));
                complete = s.Execute();
            }
            ::_exit(complete && found == width ? 0 : 1);
        }
        int status = 0;
        const pid_t waited = ::waitpid(pid, &status, 0);
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), box.pathText("c/wide")});
        QCOMPARE(waited, pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // A waiting folder's parent is opened again when its sub-folders' turn
    // comes, in one call or (where the kernel lacks it) name by name: found
    // when it is still there, not followed when it was swapped for a link
    // meanwhile; what the link leads to is never searched.
    void parentReopenedOrRefusedWhenSwapped()
    {
        for (const bool oneCall : {true, false}) {
            platform::testseams::setOneCallOpen(oneCall);
            QDir(box.pathText("c")).removeRecursively();
            box.makeFile("c/r/a/deep/x.txt");
            box.makeFile("c/r/b/y.txt");
            box.makeFile("c/outside/deep/secret.txt");
            TEasyFileSearch plain;
            Recorder found;
            found.attach(plain);
            plain.setRootPath(QStringLiteral("c:\\r"));
            QVERIFY(plain.Execute());
            QCOMPARE(found.names.filter(".txt"), (QStringList{"c:\\r\\b\\y.txt", "c:\\r\\a\\deep\\x.txt"}));

            TEasyFileSearch s;
            Recorder r;
            r.attach(s);
            s.OnChangeFolder = [&](const QString& p) {
                r.events << "folder " + p;
                if (p == u"c:\\r\\b") {
                    ::rename(box.path("c/r/a").constData(), box.path("c/moved").constData());
                    ::symlink(box.path("c/outside").constData(), box.path("c/r/a").constData());
                }
            };
            s.setRootPath(QStringLiteral("c:\\r"));
            QVERIFY(!s.Execute());
            QVERIFY(r.names.filter("secret").isEmpty());
            QVERIFY(r.names.filter("x.txt").isEmpty());
        }
        platform::testseams::setOneCallOpen(true);
    }

    void elapsedTimeWrapsAround()
    {
        box.makeDir("c/r");
        quint32 tick = 0xFFFFFFF0u;
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) {
            e.clock = [&] {
                const quint32 now = tick;
                tick += 0x20;
                return now;
            };
        });
        TEasyFileSearch s;
        Recorder r;
        r.attach(s);
        s.setRootPath(QStringLiteral("c:\\r"));
        QVERIFY(s.Execute());
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = {}; });
        QCOMPARE(r.stats.first().ElapsedMs, 0x20);
    }
};

QTEST_GUILESS_MAIN(TestFileSearch)
#include "tst_filesearch.moc"
