// varnel-cli run as a process on sandbox drives: it must list what the
// window lists, delete only what may go, and tell scripts what happened by
// its exit code and a JSON document.

#include "app/TMainForm.h"
#include "app/TFoundFileModel.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "settings/Settings.h"
#include "support/Sandbox.h"
#include "widgets/DriveBox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardItemModel>
#include <QTest>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Run {
    int code = -1;
    QByteArray out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

// path -> reason ("" when not protected) of a JSON report's entries.
QMap<QString, QString> entriesOf(const QJsonObject& report)
{
    QMap<QString, QString> entries;
    for (const QJsonValue& v : report.value("entries").toArray())
        entries.insert(v["path"].toString(), v["reason"].toString());
    return entries;
}

// A tool window's rows by the path each keeps, sorted.
QStringList rowsOf(const QStandardItemModel* model)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->item(r)->data(Qt::UserRole).toString();
    rows.sort();
    return rows;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    Sandbox box;
    QString program;

    // Runs the program copied into the sandbox's program folder, so that it
    // reads the same settings file as the window under test.
    Run run(const QStringList& args, int timeoutMs = 60000)
    {
        QProcess p;
        p.start(program, args);
        Run r;
        if (!p.waitForFinished(timeoutMs))
            return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    void write(const QList<std::array<const char*, 3>>& values)
    {
        for (const auto& [section, key, value] : values)
            WriteSetting(QLatin1String(section), QLatin1String(key), QString::fromUtf8(value));
    }

    // The search's keys as the tests before left them, after a test that
    // narrowed the search to its own files.
    void searchAsBefore()
    {
        write({{"Search", "TempFolders", "No"},
               {"Search", "TempFiles", "Yes"},
               {"Search", "BAKFiles", "Yes"},
               {"Search", "OLDFiles", "No"},
               {"Search", "GIDFiles", "No"},
               {"Search", "CustomFiles", "Yes"},
               {"Search", "Disk", "All"},
               {"CFilters", "Items", "0"}});
    }

private Q_SLOTS:
    void initTestCase()
    {
        program = box.pathText("bin/varnel-cli");
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/varnel-cli"), program));
    }

    void searchListsWhatTheWindowListsAndCleanDeletesOnlyTheUnprotected()
    {
        const QByteArray usr = box.path("c/usr");
        box.makeFile("dpkg/info/pkg.list", usr + "\n" + usr + "/old.tmp\n");
        box.makeFile("c/usr/old.tmp");
        box.makeFile("c/boot.tmp");
        box.makeFile("c/junk/a.tmp", "12345");
        box.makeFile("c/junk/b.bak", "ab");
        box.makeFile("c/junk/Кэш.tmp", "");
        box.makeFile("c/junk/held.tmp", "open elsewhere");
        box.makeFile("c/keep/k.tmp");
        write({{"Delete", "InSysFolders", "Yes"},
               {"Delete", "Recycle", "Yes"},
               {"ExDirs", "Items", "1"},
               {"ExDirs", "Dir0", "C:\\KEEP"},
               {"ExDirs", "State0", "1"},
               {"Search", "TempFolders", "Yes"}});
        // The temporary folder lies on c: here, so its files are matched
        // twice, by the drive's masks and by the folder's own entry.
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", box.path("c/junk"));
        QProcess holder;
        holder.start("python3",
                     {"-c",
                      QStringLiteral("import time; f=open('%1'); print('ready', flush=True); "
                                     "time.sleep(60)")
                          .arg(box.pathText("c/junk/held.tmp"))});
        QVERIFY(holder.waitForStarted() && holder.waitForReadyRead(10000));

        TMainForm form;
        form.FindActionExecute();
        QMap<QString, QString> window;
        const QStringList captions = form.FileModel->captions();
        QCOMPARE(QSet<QString>(captions.begin(), captions.end()).size(), captions.size()); // each listed once
        for (QString caption : captions) {
            const bool marked = caption.startsWith("[[-]] ");
            while (caption.startsWith("[[-]] "))
                caption = caption.mid(6);
            window.insert(caption, marked ? "protected" : "");
        }
        const Run search = run({"--json", "search"});
        QCOMPARE(search.code, 0);
        const QMap<QString, QString> cli = entriesOf(search.json());
        QCOMPARE(cli.keys(), window.keys());
        QCOMPARE(search.json()["entries"].toArray().size(), form.FileModel->rowCount());
        for (const QString& path : cli.keys())
            QCOMPARE(cli[path].isEmpty(), window[path].isEmpty());
        QCOMPARE(cli["c:\\usr\\old.tmp"], QStringLiteral("installed by a package"));
        QCOMPARE(cli["c:\\boot.tmp"], QStringLiteral("in a system folder"));
        QCOMPARE(cli["c:\\keep\\k.tmp"], QStringLiteral("in an excluded folder"));
        QCOMPARE(search.json()["total"].toObject()["size"].toInt(), 5 + 2 + 14 + 1 + 1 + 1);
        QVERIFY(search.json()["entries"].toArray()[0].toObject()["hostPath"].toString().startsWith(box.pathText("c/")));
        QCOMPARE(search.json()["drives"].toObject()["c:"].toString(), box.pathText("c"));

        const Run plain = run({"search"});
        QVERIFY(plain.out.contains("c:\\usr\\old.tmp\t1\t[[-]] installed by a package\n"));
        QVERIFY(plain.out.contains("c:\\junk\\a.tmp\t5\n"));
        QVERIFY(plain.out.contains(QStringLiteral("c:\\junk\\Кэш.tmp\t0\n").toUtf8()));
        QVERIFY(plain.err.isEmpty()); // no progress when standard error is no terminal

        QCOMPARE(run({"clean", "--dry-run"}).code, 0);
        QCOMPARE(run({"clean"}).code, 3);
        QVERIFY(box.exists("c/junk/a.tmp") && box.exists("c/junk/b.bak"));

        const Run clean = run({"--json", "clean", "--yes", "--permanent"});
        QCOMPARE(clean.code, 1);
        QMap<QString, QJsonObject> results;
        for (const QJsonValue& v : clean.json()["entries"].toArray())
            results.insert(v["path"].toString(), v.toObject());
        QCOMPARE(results["c:\\junk\\held.tmp"]["result"].toString(), QStringLiteral("failed"));
        QCOMPARE(results["c:\\junk\\held.tmp"]["error"].toInt(), 32);
        QCOMPARE(results["c:\\junk\\a.tmp"]["result"].toString(), QStringLiteral("deleted"));
        QCOMPARE(results["c:\\usr\\old.tmp"]["result"].toString(), QStringLiteral("skipped"));
        QVERIFY(!box.exists("c/junk/a.tmp") && !box.exists("c/junk/b.bak") && !box.exists("c/junk/Кэш.tmp"));
        QVERIFY(box.exists("c/junk/held.tmp") && box.exists("c/usr/old.tmp") && box.exists("c/boot.tmp")
                && box.exists("c/keep/k.tmp"));
        QVERIFY(QDir(QString::fromUtf8(box.trash() + "/files")).isEmpty()); // --permanent beat Recycle
        holder.kill();
        holder.waitForFinished();
        QFile::remove(box.pathText("dpkg/info/pkg.list"));
        qputenv("TMPDIR", tmp);
        write({{"Search", "TempFolders", "No"}});
    }

    void theFileToolsListAndDeleteWhatTheirWindowsList()
    {
        box.makeFile("c/tools/zero.txt", "");
        box.makeFile("c/tools/full.txt", "x");
        box.makeDir("c/tools/empty/inner");
        TEFileForm zero;
        zero.Drive->setCurrentIndex(0);
        zero.SrcfileBtnClick();
        TEDirForm dirs;
        dirs.Drive->setCurrentIndex(0);
        dirs.SrcBtnClick();
        const Run zeroList = run({"--json", "zero-files"});
        const Run dirList = run({"--json", "empty-dirs", "--drive", "C:"});
        QCOMPARE(entriesOf(zeroList.json()).keys(), rowsOf(zero.FileModel));
        QCOMPARE(entriesOf(dirList.json()).keys(), rowsOf(dirs.DirsModel));
        QVERIFY(rowsOf(dirs.DirsModel).contains("C:\\tools\\empty\\inner")); // the innermost is offered

        QCOMPARE(run({"empty-dirs", "--delete"}).code, 3);
        QVERIFY(box.exists("c/tools/empty/inner"));
        const Run gone = run({"empty-dirs", "--delete", "--yes"});
        QCOMPARE(gone.code, 0);
        QVERIFY(gone.out.contains("deleted\tC:\\tools\\empty\\inner\n"));
        QVERIFY(!box.exists("c/tools/empty/inner") && box.exists("c/tools/zero.txt") && box.exists("c/tools/full.txt"));
    }

    void registryListsAndAnAutorunDeletion()
    {
        const QByteArray head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";
        box.makeFile("registry/system.reg",
                     head
                         + "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                           "\"Alpha\"=\"c:\\\\a.exe\"\n\"Beta\"=\"c:\\\\b.exe\"\n\n"
                           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Tool] 1700000000\n"
                           "\"DisplayName\"=\"Инструмент\"\n\"UninstallString\"=\"c:\\\\u.exe\"\n");
        const Run programs = run({"--json", "programs"});
        QCOMPARE(programs.code, 0);
        QCOMPARE(programs.json()["entries"].toArray()[0].toObject()["name"].toString(), QStringLiteral("Инструмент"));
        QCOMPARE(programs.json()["entries"].toArray()[0].toObject()["values"].toObject()["UninstallString"].toString(),
                 QStringLiteral("c:\\u.exe"));
        QVERIFY(run({"autoruns"}).out.startsWith("HKLM\tAlpha\tc:\\a.exe\nHKLM\tBeta\tc:\\b.exe\n"));
        QCOMPARE(run({"autoruns", "--delete", "alpha", "--root", "HKLM"}).code, 3);
        QCOMPARE(run({"autoruns", "--delete", "Alpha", "--root", "HKCU", "--yes"}).code, 1);
        QCOMPARE(run({"autoruns", "--delete", "alpha", "--root", "HKLM", "--yes"}).code, 0);
        const Run after = run({"--json", "autoruns"});
        QCOMPARE(after.json()["entries"].toArray().size(), 1);
        QCOMPARE(after.json()["entries"].toArray()[0].toObject()["name"].toString(), QStringLiteral("Beta"));
    }

    void scriptsCanTellWhatWentWrongByTheExitCode()
    {
        const struct {
            QStringList args;
            int code;
            const char* says;
        } cases[] = {
            {{"frobnicate"}, 2, "unknown command"},
            {{"search", "--yes"}, 2, "search does not take --yes"},
            {{"--yes", "search"}, 2, "search does not take --yes"},
            {{"clean", "--dry-run", "--yes"}, 2, "contradict"},
            {{"clean", "--trash", "--permanent"}, 2, "contradict"},
            {{"clean", "--permanent", "--yes", "--trash"}, 2, "contradict"},
            {{"autoruns", "--delete", "Updater"}, 2, "needs --root"},
            {{"zero-files", "--drive", "1"}, 2, "--drive wants a drive letter"},
            {{"--prefix"}, 2, "--prefix needs a value"},
            {{"--prefix", "", "clean", "--yes"}, 2, "--prefix wants a prefix folder or name"},
            {{"clean", "--drive", "c:", "--all-drives"}, 2, "contradict"},
            {{"--prefix", "/no/such/prefix", "search"}, 4, "no Wine prefix"},
            {{"empty-dirs", "--drive", "q:"}, 4, "q: is no fixed drive (the fixed drives are c:)"},
            {{"--help"}, 0, ""},
        };
        for (const auto& c : cases) {
            const Run r = run(c.args);
            QVERIFY2(r.code == c.code, qPrintable(c.args.join(' ') + " gave " + QString::number(r.code)));
            QVERIFY2(r.err.contains(c.says), qPrintable(c.args.join(' ') + ": " + r.err));
        }
        QVERIFY(run({"--help"}).out.startsWith("usage: varnel-cli"));
        box.makeFile("home/.wine/system.reg", "WINE REGISTRY Version 2\n#arch=win64\n");
        box.makeDir("home/.wine/drive_c");
        const QJsonArray prefixes = run({"--json", "prefixes"}).json()["entries"].toArray();
        QCOMPARE(prefixes.size(), 1);
        const QString name = prefixes[0].toObject()["name"].toString();
        QCOMPARE(run({"--prefix", name, "autoruns"}).code, 0); // a listed name is as good as the folder
        // A bottle anyone may name ".wine", or after a folder: a name must
        // say one prefix, and a path is a path.
        const QByteArray bottle = "home/.local/share/bottles/bottles/other";
        box.makeFile(bottle + "/system.reg", "WINE REGISTRY Version 2\n");
        box.makeDir(bottle + "/drive_c");
        box.makeFile(bottle + "/bottle.yml", "Name: '.wine'\n");
        const Run twice = run({"--prefix", ".wine", "autoruns"});
        QCOMPARE(twice.code, 2);
        QVERIFY(twice.err.contains("names 2 prefixes") && twice.err.contains(box.path(bottle)));
        box.makeFile(bottle + "/bottle.yml", "Name: '" + box.path("home/.wine") + "'\n");
        const Run byPath = run({"--json", "--prefix", box.pathText("home/.wine"), "autoruns"});
        QCOMPARE(byPath.code, 0);
        QCOMPARE(byPath.json()["prefix"].toString(), box.pathText("home/.wine"));
        QCOMPARE(run({"--json", "--prefix", "~/.wine", "autoruns"}).json()["prefix"].toString(),
                 box.pathText("home/.wine"));
        const QString settings = box.pathText("bin/varnel.ini");
        QFile::rename(settings, settings + ".saved");
        box.makeDir("bin/varnel.ini"); // a settings file that cannot be read
        const Run unreadable = run({"search"});
        QDir().rmdir(settings);
        QFile::rename(settings + ".saved", settings);
        QCOMPARE(unreadable.code, 4);
        QVERIFY(unreadable.err.contains("cannot be read"));
    }

    void aPrefixCleanNeverReachesTheHost()
    {
        write({{"Search", "TempFolders", "Yes"},
               {"Search", "TempFiles", "No"},
               {"Search", "BAKFiles", "No"},
               {"Search", "OLDFiles", "No"},
               {"Search", "GIDFiles", "No"},
               {"Search", "CustomFiles", "No"}});
        box.makeFile("victim/precious.txt", "mine");
        box.makeFile("victim/sub/more.txt", "mine too");
        box.makeFile("pfx/system.reg", "WINE REGISTRY Version 2\n\n");
        box.makeFile("pfx/userdef.reg", "WINE REGISTRY Version 2\n\n");
        box.makeFile("pfx/drive_c/users/tester/Temp/junk.txt", "x");
        box.makeDir("pfx/dosdevices");
        QVERIFY(::symlink("../drive_c", box.path("pfx/dosdevices/c:").constData()) == 0);
        QVERIFY(::symlink("/", box.path("pfx/dosdevices/z:").constData()) == 0);
        const auto setTemp = [&](QString value) {
            box.makeFile("pfx/user.reg", "WINE REGISTRY Version 2\n\n[Environment] 1\n\"TEMP\"=\""
                                             + value.replace(u'\\', QStringLiteral("\\\\")).toUtf8() + "\"\n");
        };
        QString victim = QStringLiteral("Z:") + box.pathText("victim");
        victim.replace(u'/', u'\\');
        qunsetenv("VARNEL_DRIVES"); // the prefix's own drives
        qputenv("USER", "tester");
        const QStringList clean{"--json", "--prefix", box.pathText("pfx"), "clean", "--yes", "--permanent"};

        setTemp(victim);
        const Run hostile = run(clean);
        QCOMPARE(hostile.code, 0);
        QVERIFY(box.exists("victim/precious.txt") && box.exists("victim/sub/more.txt"));
        QVERIFY2(hostile.err.contains(victim.toUtf8()), hostile.err); // the refused value is named
        QCOMPARE(hostile.json()["prefix"].toString(), box.pathText("pfx"));
        QVERIFY(!hostile.json()["drives"].toObject().contains(victim + u'\\'));

        setTemp(QStringLiteral("C:\\users\\tester\\Temp"));
        const Run own = run(clean);
        QCOMPARE(own.code, 0);
        QVERIFY(!box.exists("pfx/drive_c/users/tester/Temp/junk.txt"));
        QCOMPARE(own.json()["drives"].toObject()["C:\\users\\tester\\Temp\\"].toString(),
                 box.pathText("pfx/drive_c/users/tester/Temp"));
        box.setDrives({{'c', "c"}});
        searchAsBefore();
    }

    // As root, c: is / and every disk a drive: a deleting command must not
    // take that as a default. Run where every file system is read-only, so
    // that a missing guard could harm nothing.
    void asRootTheWholeSystemIsNoDefault()
    {
        if (::geteuid() != 0)
            QSKIP("the guard is for the superuser");
        write({{"Search", "TempFolders", "No"},
               {"Search", "TempFiles", "No"},
               {"Search", "BAKFiles", "No"},
               {"Search", "OLDFiles", "No"},
               {"Search", "GIDFiles", "No"},
               {"Search", "CustomFiles", "Yes"},
               {"Search", "Disk", "0"},
               {"CFilters", "Items", "1"},
               {"CFilters", "Filter0", "varnel-guard-probe-*.tmp"},
               {"CFilters", "StateFilter0", "1"}});
        box.makeFile("c/varnel-guard-probe-1.tmp", "x");
        // The program folder cannot be written there, so the settings are
        // read from the user's configuration folder.
        box.makeFile("home/.config/varnel/varnel.ini", box.read("bin/varnel.ini"));
        box.makeFile("readonly.sh",
                     "mount --make-rprivate / || exit 97\n"
                     "for mp in $(awk '{print $5}' /proc/self/mountinfo | sort -r); do\n"
                     "  mount -o remount,bind,ro \"$mp\" 2>/dev/null\n"
                     "done\n"
                     "if touch \"$1.w\" 2>/dev/null; then rm -f \"$1.w\"; exit 98; fi\n"
                     "shift\n"
                     "exec env -u VARNEL_DRIVES \"$@\"\n");
        const auto readOnly = [&](const QStringList& args) {
            QProcess p;
            p.start("unshare", QStringList{"-m", "sh", box.pathText("readonly.sh"), box.pathText("c/probe"), program}
                                   + args);
            Run r;
            if (p.waitForFinished(240000))
                r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
            r.out = p.readAllStandardOutput();
            r.err = p.readAllStandardError();
            return r;
        };
        const Run refused = readOnly({"--json", "clean", "--yes", "--permanent"});
        if (refused.code == 97 || refused.code == 98 || (refused.code == 1 && refused.err.contains("unshare")))
            QSKIP("no read-only mount namespace can be made here");
        QCOMPARE(refused.code, 2);
        QVERIFY(refused.err.contains("--all-drives") && refused.err.contains("Nothing was deleted"));
        QVERIFY(refused.out.isEmpty());
        QCOMPARE(readOnly({"--json", "clean", "--dry-run"}).code, 0); // looking is never refused
        const Run knowingly = readOnly({"--json", "clean", "--yes", "--permanent", "--all-drives"});
        QCOMPARE(knowingly.code, 1); // it went ahead, and the read-only disk refused
        const QJsonArray entries = knowingly.json()["entries"].toArray();
        bool tried = false;
        for (const QJsonValue& e : entries)
            tried = tried || (e["hostPath"].toString() == box.pathText("c/varnel-guard-probe-1.tmp")
                              && e["result"].toString() == u"failed");
        QVERIFY(tried);
        QVERIFY(box.exists("c/varnel-guard-probe-1.tmp"));
        searchAsBefore();

        // The root disk mounted a second time is no second drive: there its
        // files would escape what is judged by path.
        box.makeDir("again");
        box.makeFile("bind.sh", "mount --make-rprivate / && mount --bind / \"$1\" || exit 97\nshift\n"
                                "exec env -u VARNEL_DRIVES \"$@\"\n");
        QProcess p;
        p.start("unshare", {"-m", "sh", box.pathText("bind.sh"), box.pathText("again"), program, "zero-files",
                            "--drive", "y:"});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 4);
        const QByteArray said = p.readAllStandardError();
        QVERIFY2(said.contains("the fixed drives are c:") && !said.contains("d:"), said);
    }

    void anInterruptedSearchEndsCleanly()
    {
        write({{"Search", "TempFolders", "No"}, {"Search", "CustomFiles", "No"}});
        for (int i = 0; i < 400; ++i)
            for (int j = 0; j < 40; ++j)
                box.makeDir(QByteArray("c/deep/d") + QByteArray::number(i) + "/e" + QByteArray::number(j));
        QProcess p;
        p.start(program, {"--json", "search"});
        QVERIFY(p.waitForStarted());
        // Once the walk holds a folder of the tree open, the interrupt is
        // being caught.
        const QString deep = box.pathText("c/deep");
        bool walking = false;
        for (int i = 0; i < 20000 && !walking && p.state() == QProcess::Running; ++i) {
            const QDir fds(QStringLiteral("/proc/%1/fd").arg(p.processId()));
            for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
                walking = walking || fd.symLinkTarget().startsWith(deep);
            if (!walking)
                QTest::qSleep(1);
        }
        if (walking)
            ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QJsonObject report = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        QVERIFY(!report.isEmpty());
        if (walking && p.exitCode() != 0) { // else the walk ended before the interrupt came
            QCOMPARE(p.exitCode(), 130);
            QCOMPARE(report["interrupted"].toBool(), true);
        }
    }

    // What scripts read must be what happened: names cannot forge lines,
    // host paths name their file exactly, and a report that cannot be
    // written fails the command.
    void theOutputCanBeTrusted()
    {
        write({{"Search", "TempFolders", "No"}, {"Search", "CustomFiles", "No"}, {"Delete", "InSysFolders", "No"}});
        const QByteArray drives = qgetenv("VARNEL_DRIVES");
        qputenv("VARNEL_DRIVES", "c=" + box.path("c/out"));
        box.makeFile("c/out/x\ndeleted\tforged.tmp");
        box.makeFile("c/out/\x1b[2Jclear.tmp");
        for (const char* bad : {"c/out/bad\xff.tmp", "c/out/bad\xfe.tmp"}) // bytes that are no UTF-8
            ::close(::open(box.path(bad).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        const Run plain = run({"search"});
        QCOMPARE(plain.code, 0);
        QVERIFY(plain.out.contains("c:\\x\\ndeleted\\tforged.tmp\t1\n"));
        QVERIFY(plain.out.contains("c:\\\\x1b[2Jclear.tmp\t1\n"));
        QVERIFY(!plain.out.contains('\x1b'));
        for (const QByteArray& line : plain.out.split('\n'))
            QVERIFY2(!line.startsWith("deleted") && line.count('\t') <= 1, line.constData());

        QMap<QString, QString> bytesOf; // hostPathBytes by hostPath's end
        for (const QJsonValue& v : run({"--json", "search"}).json()["entries"].toArray())
            if (v["path"].toString().startsWith("c:\\bad"))
                bytesOf.insert(v["hostPathBytes"].toString(), v["hostPath"].toString());
            else
                QVERIFY(!v.toObject().contains("hostPathBytes"));
        const QString dir = QString::fromLatin1(box.path("c/out/").toPercentEncoding());
        QCOMPARE(bytesOf.keys(), QStringList({dir + "bad%FE.tmp", dir + "bad%FF.tmp"}));

        // A report with nowhere to go: closed, full, or read by no one.
        const struct {
            const char* redirect;
            QStringList args;
        } unwritable[] = {{">&-", {"search"}}, {">&-", {"--json", "search"}}, {">/dev/full", {"search"}},
                          {">&-", {"--version"}}, {">/dev/full", {"--json", "prefixes"}}};
        for (const auto& c : unwritable) {
            QProcess p;
            p.start("/bin/sh", QStringList{"-c", QStringLiteral("exec \"$0\" \"$@\" %1").arg(c.redirect), program}
                                   + c.args);
            QVERIFY(p.waitForFinished(60000));
            const QByteArray err = p.readAllStandardError();
            QVERIFY2(p.exitCode() == 4, qPrintable(c.args.join(' ') + c.redirect + ": " + err));
            QVERIFY2(err.contains("the report could not be written"), err.constData());
        }
        // QDir cannot name files whose names are no UTF-8: count them by hand.
        const auto filesLeft = [this] {
            int n = 0;
            if (DIR* d = ::opendir(box.path("c/out").constData())) {
                while (const dirent* e = ::readdir(d))
                    n += e->d_type == DT_REG ? 1 : 0;
                ::closedir(d);
            }
            return n;
        };
        QCOMPARE(filesLeft(), 4); // nothing was deleted

        // The reader is gone before the first result: the deletion stops
        // after the entry at hand.
        int ends[2];
        QVERIFY(::pipe2(ends, O_CLOEXEC) == 0);
        ::close(ends[0]);
        QProcess p;
        p.setChildProcessModifier([&ends] { ::dup2(ends[1], STDOUT_FILENO); });
        p.start(program, {"clean", "--yes", "--permanent"});
        QVERIFY(p.waitForFinished(60000));
        ::close(ends[1]);
        QCOMPARE(p.exitCode(), 4);
        QVERIFY(p.readAllStandardError().contains("broken pipe"));
        const int left = filesLeft();
        qputenv("VARNEL_DRIVES", drives);
        QCOMPARE(left, 3);
    }

    // Without a Windows folder the option protects the host's system
    // folders, whatever drive letter leads there; read-only here, nothing
    // outside the sandbox is deleted.
    void theHostsSystemFoldersAreProtectedOnRequest()
    {
        if (!QFileInfo(QStringLiteral("/var/lib/dpkg/status")).isFile())
            QSKIP("no /var/lib/dpkg/status on this host");
        const QByteArray drives = qgetenv("VARNEL_DRIVES");
        qputenv("VARNEL_DRIVES", "c=" + box.path("c/out") + ";d=/var/lib/dpkg");
        write({{"Search", "CustomFiles", "Yes"},
               {"CFilters", "Items", "1"},
               {"CFilters", "Filter0", "status"},
               {"CFilters", "StateFilter0", "1"}});
        const auto reasonFor = [this](const char* yesNo) {
            write({{"Delete", "InSysFolders", yesNo}});
            return entriesOf(run({"--json", "search"}).json()).value("d:\\status", "absent");
        };
        const QString kept = reasonFor("Yes");
        const QString free = reasonFor("No");
        qputenv("VARNEL_DRIVES", drives);
        write({{"Search", "CustomFiles", "No"}, {"CFilters", "Items", "0"}});
        QCOMPARE(kept, QStringLiteral("in a system folder"));
        QCOMPARE(free, QString());
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
