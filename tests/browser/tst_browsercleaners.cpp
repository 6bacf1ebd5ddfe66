// The cache and cookie cleaners driven through their handlers over a
// sandbox registry and sandbox folders: what is deleted and what is kept,
// the texts and the bar, the close timer, the folders that are refused and
// the runs that are disturbed from inside.

#include "cleaners/browser/BrowserCleanJob.h"
#include "cleaners/browser/TEasyFileSearch.h"
#include "core/CallbackSink.h"
#include "core/OutcomeSink.h"
#include "cleaners/browser/TIECForm.h"
#include "cleaners/browser/TIECookForm.h"
#include "platform/DriveTable.h"
#include "platform/MessagePump.h"
#include "platform/ShellOpen.h"
#include "support/Sandbox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>
#include <QtTest>

#include <sys/xattr.h>

namespace {

const QByteArray kUserHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";

// Shell Folders with the given values (name, raw right-hand side).
QByteArray shellFolders(const QList<QPair<QByteArray, QByteArray>>& values)
{
    QByteArray out = kUserHead
        + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n";
    for (const auto& [name, value] : values)
        out += "\"" + name + "\"=" + value + "\n";
    return out;
}

QByteArray text(const QByteArray& winPath)
{
    QByteArray escaped = winPath;
    escaped.replace("\\", "\\\\");
    return "\"" + escaped + "\"";
}

} // namespace

class TestBrowserCleaners : public QObject {
    Q_OBJECT
    Sandbox box;
    int pumps = 0;
    std::function<void()> atPump;

    void setCache(const QByteArray& winPath)
    {
        box.makeFile("registry/user.reg", shellFolders({{"Cache", text(winPath)}}));
    }
    void setCookies(const QByteArray& winPath)
    {
        box.makeFile("registry/user.reg", shellFolders({{"Cookies", text(winPath)}}));
    }

    // Every file and folder below rel, relative to it, sorted.
    QStringList tree(const QByteArray& rel)
    {
        QStringList out;
        QDirIterator it(box.pathText(rel), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        const QString base = box.pathText(rel) + u'/';
        while (it.hasNext())
            out << it.next().mid(base.size());
        out.sort();
        return out;
    }

    void checkUntouched(TBrowserCleanForm& form, const QString& firstText)
    {
        QCOMPARE(form.CacheLabel->text(), firstText);
        QVERIFY(!form.CloseTimer->isActive());
        QCOMPARE(pumps, 0);
    }

private Q_SLOTS:
    void init()
    {
        qunsetenv("VARNEL_WINDIR");
        qunsetenv("WINEPREFIX");
        box.setDrives({{'c', "c"}});
        QDir(box.pathText("c")).removeRecursively();
        QDir(box.pathText("outside")).removeRecursively();
        QDir(box.pathText("registry")).removeRecursively();
        box.makeDir("c");
        box.makeDir("registry");
        pumps = 0;
        atPump = {};
        platform::MessagePump::setHook([this] {
            ++pumps;
            if (atPump)
                atPump();
        });
    }

    void windowsCarryTheirNamesTextsAndSettings()
    {
        TIECForm cache;
        QCOMPARE(cache.windowTitle(), QStringLiteral(" Очистка кеша"));
        QCOMPARE(cache.size(), QSize(400, 102));
        QCOMPARE(cache.minimumSize(), cache.maximumSize());
        QCOMPARE(cache.CacheLabel->text(), QStringLiteral("Очистка кеша :"));
        QVERIFY(cache.findChild<QPlainTextEdit*>("IECacheList") == cache.IECacheList);
        QVERIFY(cache.IECacheList->isReadOnly());
        QVERIFY(cache.findChild<TEasyFileSearch*>("ieSearch") == cache.ieSearch);
        QVERIFY(cache.findChild<QTimer*>("CloseTimer"));
        QVERIFY(cache.findChild<QProgressBar*>("IEProgress"));
        QVERIFY(cache.findChild<QWidget*>("IECPanel"));
        QCOMPARE(cache.CloseTimer->interval(), 1000);
        QVERIFY(!cache.CloseTimer->isActive());
        QCOMPARE(cache.IEProgress->value(), 0);
        QCOMPARE(cache.ieSearch->Filter(), QStringLiteral("*.*"));
        QVERIFY(cache.ieSearch->FilterKind.isEmpty());
        QVERIFY(cache.ieSearch->SearchOptions
                == TOptions({okIncludeSubfolder, okLookForReadOnlyFile, okLookForDirectory, okLookForArchiveFile}));

        TIECookForm cookies;
        QCOMPARE(cookies.windowTitle(), QStringLiteral(" Очистка Cookies"));
        QCOMPARE(cookies.size(), QSize(400, 102));
        QCOMPARE(cookies.CacheLabel->text(), QStringLiteral("Очистка Cookies :"));
        QVERIFY(cookies.findChild<QPlainTextEdit*>("IECookiesList") == cookies.IECookiesList);
        QVERIFY(cookies.findChild<TEasyFileSearch*>("CookieSearch") == cookies.CookieSearch);
        QCOMPARE(cookies.CookieSearch->Filter(), QStringLiteral("*.txt"));
        QVERIFY(cookies.CookieSearch->SearchOptions
                == TOptions({okIncludeSubfolder, okLookForReadOnlyFile, okLookForArchiveFile}));
    }

    void f1OpensEachWindowsHelpPage()
    {
        QStringList opened;
        platform::ShellOpen::setCallHandler([&](const platform::ShellCall& call) {
            opened << call.target;
            return true;
        });
        TIECForm cache;
        TIECookForm cookies;
        for (QDialog* d : {static_cast<QDialog*>(&cache), static_cast<QDialog*>(&cookies)}) {
            auto* key = d->findChild<QShortcut*>(QStringLiteral("HelpKey"));
            QVERIFY(key);
            QCOMPARE(key->key(), QKeySequence(Qt::Key_F1));
            Q_EMIT key->activated();
        }
        platform::ShellOpen::setCallHandler({});
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[0].endsWith(QStringLiteral("vrhelp.dll/cache.htm")));
        QVERIFY(opened[1].endsWith(QStringLiteral("vrhelp.dll/cookies.htm")));
    }

    void cacheCleanerDeletesWhatTheSearchReportsInOrder()
    {
        box.makeFile("c/Cache/a.dat");
        box.makeFile("c/Cache/index");
        box.makeFile("c/Cache/sub/x.bin");
        box.makeFile("c/Cache/sub/noext");
        setCache("C:\\Cache");
        TIECForm form;
        QStringList labels;
        QList<int> values;
        atPump = [&] {
            labels << form.CacheLabel->text();
            values << form.IEProgress->value();
        };
        form.FormActivate();
        QCOMPARE(form.ProgressTotal(), 2);
        QCOMPARE(pumps, 3);
        QCOMPARE(labels, (QStringList{"Очистка кеша :", "Очистка кеша : a.dat", "Очистка кеша : sub"}));
        QCOMPARE(values, (QList<int>{0, 1, 2}));
        QCOMPARE(form.IEProgress->value(), 2); // never past the total
        QCOMPARE(tree("c/Cache"), (QStringList{"index"}));
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Очистка кеша завершена"));
        QVERIFY(form.IECacheList->toPlainText().isEmpty());
        QVERIFY(form.CloseTimer->isActive());
        form.CloseTimerTimer();
        QVERIFY(!form.CloseTimer->isActive());
    }

    // The job without a window: what it offers, in order, what it says of
    // a refused value, and what its dispose reports.
    void theJobOffersTheSearchOrderAndDisposesEachFinding()
    {
        box.makeFile("c/Cache/a.dat", "four");
        box.makeFile("c/Cache/index");
        box.makeFile("c/Cache/sub/x.bin");
        TEasyFileSearch search;
        BrowserCleanJob job(BrowserCleanJob::Store::Cache, search);
        QList<core::Finding> found;
        QStringList warnings;
        core::CallbackSink sink;
        sink.onFound = [&](const core::Finding& f) { found << f; };
        sink.onWarning = [&](const QString& text) { warnings << text; };

        setCache("C:\\");
        QCOMPARE(job.scan(core::Context::current(), sink), BrowserCleanJob::Result::NoFolder);
        QCOMPARE(warnings.size(), 1);
        QVERIFY(found.isEmpty());
        setCache("C:\\Gone");
        QCOMPARE(job.scan(core::Context::current(), sink), BrowserCleanJob::Result::Missing);
        setCache("C:\\cache");
        QCOMPARE(job.scan(core::Context::current(), sink), BrowserCleanJob::Result::Searched);
        QCOMPARE(job.folder(), QStringLiteral("C:\\cache"));
        QStringList paths;
        for (const core::Finding& f : found)
            paths << f.path;
        QCOMPARE(paths, (QStringList{"C:\\Cache\\a.dat", "C:\\Cache\\sub", "C:\\Cache\\sub\\x.bin"}));
        QCOMPARE(found[0].size, quint64(4));
        QVERIFY(!search.OnFileFinded); // the job leaves no handler behind

        OutcomeSink outcomes;
        QList<OutcomeKind> kinds;
        outcomes.subscribe([&](const CleanOutcome& o) { kinds << o.kind; });
        QVERIFY(BrowserCleanJob::dispose(found, outcomes));
        // The folder went with its file; its file, listed after it, is gone already.
        QCOMPARE(kinds, (QList<OutcomeKind>{OutcomeKind::Deleted, OutcomeKind::Deleted, OutcomeKind::Failed}));
        QCOMPARE(tree("c/Cache"), (QStringList{"index"}));
        QCOMPARE(warnings.size(), 1);
    }

    void hiddenOrSystemOnlyFilesStay()
    {
        box.makeFile("c/Cache/hidden.dat");
        box.makeFile("c/Cache/system.dat");
        box.makeFile("c/Cache/normal.dat");
        const auto dos = [&](const QByteArray& rel, const char* v) {
            return ::setxattr(box.path(rel).constData(), "user.DOSATTRIB", v, std::strlen(v), 0) == 0;
        };
        if (!dos("c/Cache/hidden.dat", "0x2") || !dos("c/Cache/system.dat", "0x4"))
            QSKIP("the file system keeps no user attributes");
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        QCOMPARE(tree("c/Cache"), (QStringList{"hidden.dat", "system.dat"}));
    }

    void emptyFolderFinishesAtOnce()
    {
        box.makeDir("c/Cache");
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        QCOMPARE(pumps, 0);
        QCOMPARE(form.IEProgress->value(), 0);
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Очистка кеша завершена"));
        QVERIFY(form.CloseTimer->isActive());
    }

    void oneEntryLeavesTheBarEmpty()
    {
        box.makeFile("c/Cache/only.dat");
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        QCOMPARE(form.ProgressTotal(), 0);
        QCOMPARE(form.IEProgress->value(), 0);
        QVERIFY(!box.exists("c/Cache/only.dat"));
    }

    void everyActivationCleansAgain()
    {
        box.makeFile("c/Cache/one.dat");
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        QVERIFY(!box.exists("c/Cache/one.dat"));
        box.makeFile("c/Cache/two.dat");
        form.FormActivate();
        QVERIFY(!box.exists("c/Cache/two.dat"));
    }

    void noFolderLeavesTheWindowOpenAndTouchesNothing_data()
    {
        QTest::addColumn<QByteArray>("registry");
        QTest::newRow("no key") << kUserHead;
        QTest::newRow("no value") << shellFolders({{"Cookies", text("C:\\Cache")}});
        QTest::newRow("empty value") << shellFolders({{"Cache", "\"\""}});
        QTest::newRow("blank value") << shellFolders({{"Cache", "\"  \""}});
        QTest::newRow("other type") << shellFolders({{"Cache", "dword:00000001"}});
        QTest::newRow("drive root") << shellFolders({{"Cache", text("C:\\")}});
        QTest::newRow("drive only") << shellFolders({{"Cache", text("C:")}});
        QTest::newRow("drive root by dots") << shellFolders({{"Cache", text("C:\\Cache\\..")}});
        QTest::newRow("relative") << shellFolders({{"Cache", text("Cache")}});
        QTest::newRow("rooted without drive") << shellFolders({{"Cache", text("\\Cache")}});
        QTest::newRow("outside the drives") << shellFolders({{"Cache", text("Z:\\tmp")}});
        QTest::newRow("network") << shellFolders({{"Cache", text("\\\\server\\share\\Cache")}});
    }

    void noFolderLeavesTheWindowOpenAndTouchesNothing()
    {
        QFETCH(QByteArray, registry);
        box.makeFile("c/Cache/a.dat");
        box.makeFile("c/top.dat");
        box.makeFile("registry/user.reg", registry);
        TIECForm form;
        form.FormActivate();
        checkUntouched(form, QStringLiteral("Очистка кеша :"));
        QCOMPARE(tree("c"), (QStringList{"Cache", "Cache/a.dat", "top.dat"}));
    }

    void windowsAndProfileFoldersAreRefused()
    {
        box.setDrives({{'c', "c"}, {'d', "d"}});
        box.makeFile("c/sys/windows/win.ini");
        box.makeFile("d/home/user/file.txt");
        qputenv("VARNEL_WINDIR", box.path("c/sys/windows")); // a host path
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", box.path("d/home/user"));
        for (const QByteArray& value : {QByteArray("C:\\sys\\windows"), QByteArray("C:\\SYS"),
                                        QByteArray("D:\\home\\user"), QByteArray("D:\\home")}) {
            setCache(value);
            pumps = 0;
            TIECForm form;
            form.FormActivate();
            checkUntouched(form, QStringLiteral("Очистка кеша :"));
        }
        // A folder inside the profile is the browser's own.
        box.makeFile("d/home/user/Cache/old.dat");
        setCache("D:\\home\\user\\Cache");
        TIECForm form;
        form.FormActivate();
        qputenv("HOME", home);
        qunsetenv("VARNEL_WINDIR");
        QVERIFY(box.exists("c/sys/windows/win.ini"));
        QVERIFY(box.exists("d/home/user/file.txt"));
        QVERIFY(!box.exists("d/home/user/Cache/old.dat"));
    }

    void insideAPrefixTheProfileIsRefusedAndINetCacheEmptied()
    {
        QDir(box.pathText("prefix")).removeRecursively();
        const QByteArray user = qgetenv("USER");
        qputenv("USER", "u");
        const QByteArray cache = "prefix/drive_c/users/u/AppData/Local/Microsoft/Windows/INetCache";
        box.makeFile(cache + "/Content.IE5/x.htm");
        box.makeFile(cache + "/page.htm");
        box.makeFile("prefix/drive_c/users/u/Documents/keep.doc");
        box.makeFile("prefix/drive_c/windows/win.ini");
        box.makeFile("prefix/drive_c/windows/system32/a.dll");
        box.makeFile("prefix/drive_c/Program Files/app/p.exe");
        box.makeFile("prefix/drive_c/users/u/AppData/Local/l.dat");
        box.makeDir("prefix/dosdevices");
        QVERIFY(QFile::link(QStringLiteral("../drive_c"), box.pathText("prefix/dosdevices/c:")));
        box.makeFile("prefix/system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n");
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix"));
        platform::DriveTable::reload();
        const QByteArray local = text("C:\\users\\u\\AppData\\Local");
        for (const QByteArray& value :
             {QByteArray("C:\\users\\u"), QByteArray("C:\\users"), QByteArray("C:\\windows"), QByteArray("C:\\"),
              QByteArray("Z:\\tmp"), QByteArray("C:\\WINDOWS\\system32"), QByteArray("C:\\Program Files"),
              QByteArray("C:\\program files\\APP"), QByteArray("C:\\users\\u\\AppData"),
              QByteArray("C:\\users\\u\\AppData\\Local")}) {
            box.makeFile("prefix/user.reg", shellFolders({{"Cache", text(value)}, {"Local AppData", local}}));
            pumps = 0;
            TIECForm form;
            form.FormActivate();
            checkUntouched(form, QStringLiteral("Очистка кеша :"));
        }
        QVERIFY(box.exists("prefix/drive_c/users/u/Documents/keep.doc"));
        QVERIFY(box.exists("prefix/drive_c/windows/win.ini"));
        QVERIFY(box.exists("prefix/drive_c/windows/system32/a.dll"));
        QVERIFY(box.exists("prefix/drive_c/Program Files/app/p.exe"));
        QVERIFY(box.exists("prefix/drive_c/users/u/AppData/Local/l.dat"));
        // Spelled in another case, as Windows would still find it.
        box.makeFile("prefix/user.reg",
                     shellFolders({{"Cache", text("C:\\USERS\\U\\APPDATA\\LOCAL\\MICROSOFT\\WINDOWS\\INETCACHE")},
                                   {"Local AppData", local}}));
        TIECForm form;
        form.FormActivate();
        qunsetenv("WINEPREFIX");
        qputenv("USER", user);
        box.setDrives({{'c', "c"}});
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Очистка кеша завершена"));
        QCOMPARE(tree(cache), QStringList());
        QVERIFY(box.exists("prefix/drive_c/users/u/Documents/keep.doc"));
        QVERIFY(box.exists("prefix/drive_c/users/u/AppData/Local/l.dat"));
    }

    void cacheFolderReachedThroughALinkIsRefused()
    {
        box.makeFile("c/real/a.dat");
        QVERIFY(QFile::link(box.pathText("c/real"), box.pathText("c/Cache")));
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        checkUntouched(form, QStringLiteral("Очистка кеша :"));
        QVERIFY(box.exists("c/real/a.dat"));
    }

    void linkInTheCacheGoesItsTargetStays()
    {
        box.makeFile("outside/keep/deep.txt");
        box.makeFile("outside/one.txt");
        box.makeDir("c/Cache/sub");
        QVERIFY(QFile::link(box.pathText("outside"), box.pathText("c/Cache/Content.IE5")));
        QVERIFY(QFile::link(box.pathText("outside"), box.pathText("c/Cache/sub/inner.lnk")));
        setCache("C:\\Cache");
        TIECForm form;
        form.FormActivate();
        QCOMPARE(tree("c/Cache"), QStringList());
        QCOMPARE(tree("outside"), (QStringList{"keep", "keep/deep.txt", "one.txt"}));
    }

    void entrySwappedDuringTheRunIsKept()
    {
        box.makeFile("c/Cache/a.dat");
        box.makeFile("c/Cache/b.dat", "old");
        setCache("C:\\Cache");
        TIECForm form;
        atPump = [&] {
            if (pumps == 1) {
                QFile::remove(box.pathText("c/Cache/b.dat"));
                box.makeFile("c/Cache/b.dat", "new");
            }
        };
        form.FormActivate();
        QVERIFY(!box.exists("c/Cache/a.dat"));
        QCOMPARE(box.read("c/Cache/b.dat"), QByteArray("new"));
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Очистка кеша завершена"));
    }

    void closingOrActivatingDuringTheRunIsHarmless()
    {
        box.makeFile("c/Cache/a.dat");
        box.makeFile("c/Cache/b.dat");
        box.makeFile("c/Cache/c.dat");
        setCache("C:\\Cache");
        TIECForm form;
        form.show();
        QCoreApplication::processEvents();
        pumps = 0;
        box.makeFile("c/Cache/a.dat");
        box.makeFile("c/Cache/b.dat");
        box.makeFile("c/Cache/c.dat");
        atPump = [&] {
            if (pumps == 1) {
                form.FormActivate(); // refused: a run is under way
                form.close();
            }
        };
        form.FormActivate();
        QCOMPARE(pumps, 3);
        QVERIFY(!form.isVisible());
        QCOMPARE(tree("c/Cache"), QStringList());
    }

    void cookieCleanerDeletesTextFilesOnly()
    {
        box.makeFile("c/Cookies/a.txt");
        box.makeFile("c/Cookies/b.dat");
        box.makeFile("c/Cookies/sub/c.txt");
        box.makeFile("c/Cookies/sub/d.TXT");
        box.makeFile("c/Cookies/sub/e.txt.old");
        setCookies("C:\\Cookies");
        TIECookForm form;
        QStringList labels;
        atPump = [&] { labels << form.CacheLabel->text(); };
        form.FormActivate();
        QCOMPARE(labels, (QStringList{"Очистка Cookies :", "Очистка Cookies : a.txt", "Очистка Cookies : c.txt"}));
        QCOMPARE(form.ProgressTotal(), 2);
        QCOMPARE(tree("c/Cookies"), (QStringList{"b.dat", "sub", "sub/e.txt.old"}));
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Cookies удалены"));
        QVERIFY(form.CloseTimer->isActive());
    }

    void cookieCleanerWithNothingToDelete()
    {
        box.makeFile("c/Cookies/index.dat");
        setCookies("C:\\Cookies");
        TIECookForm form;
        form.FormActivate();
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Cookies удалены"));
        QVERIFY(form.CloseTimer->isActive());
        QVERIFY(box.exists("c/Cookies/index.dat"));
    }

    void cookieCleanerWithoutFolderStaysOpen()
    {
        box.makeFile("c/Cookies/a.txt");
        setCache("C:\\Cookies"); // the other value only
        TIECookForm form;
        form.FormActivate();
        checkUntouched(form, QStringLiteral("Очистка Cookies :"));
        QVERIFY(box.exists("c/Cookies/a.txt"));
    }

    void cookieFolderInAnotherCaseIsEmptied()
    {
        box.makeFile("c/Cookies/a.txt");
        box.makeFile("c/Cookies/Sub/b.txt");
        setCookies("C:\\COOKIES");
        TIECookForm form;
        form.FormActivate();
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Cookies удалены"));
        QCOMPARE(tree("c/Cookies"), QStringList{"Sub"});
    }

    void missingFolderIsAnEmptyCache()
    {
        setCache("C:\\Gone\\Cache");
        TIECForm form;
        form.FormActivate();
        // A cache not made yet: nothing to delete, and the window ends.
        QCOMPARE(form.CacheLabel->text(), QStringLiteral("Очистка кеша завершена"));
        QVERIFY(form.CloseTimer->isActive());
        QCOMPARE(pumps, 0);
        QVERIFY(!box.exists("c/Gone"));
        setCookies("C:\\Gone");
        TIECookForm cookies;
        cookies.FormActivate();
        QCOMPARE(cookies.CacheLabel->text(), QStringLiteral("Cookies удалены"));
        QVERIFY(cookies.CloseTimer->isActive());
    }
};

QTEST_MAIN(TestBrowserCleaners)
#include "tst_browsercleaners.moc"
